#pragma once

#include <QWidget>

// Where alerts and action sheets go: the application's window when there is one, else the active
// window; nullptr when there is neither (the overlay is then a window of its own).
QWidget *modalOverlayHost();
