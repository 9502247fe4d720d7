#pragma once

class QObject;
class QWidget;

// Widgets that share one action are told apart by a small integer, kept in the dynamic property
// "tag". An untagged object reads as 0, like a freshly made widget.
void setTag(QWidget *widget, int tag);
int tagOf(const QObject *object);
// The first widget tagged `tag` in `root`'s tree, root included, depth first; nullptr when none.
QWidget *viewWithTag(QWidget *root, int tag);
