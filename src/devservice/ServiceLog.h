#pragma once

#include <QLoggingCategory>

// Requests, refusals that point at a fault, database errors and issued verification codes.
Q_DECLARE_LOGGING_CATEGORY(lcReadingService)
