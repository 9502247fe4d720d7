#include "Tags.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char *TagProperty = "tag";
}

void setTag(QWidget *widget, int tag) {
    if (widget)
        widget->setProperty(TagProperty, tag);
}

int tagOf(const QObject *object) {
    if (!object)
        return 0;
    bool ok = false;
    const int tag = object->property(TagProperty).toInt(&ok);
    return ok ? tag : 0;
}

QWidget *viewWithTag(QWidget *root, int tag) {
    if (!root)
        return nullptr;
    if (tagOf(root) == tag)
        return root;
    // findChildren walks depth first, each child before its own children.
    const auto descendants = root->findChildren<QWidget *>();
    for (QWidget *widget : descendants) {
        if (tagOf(widget) == tag)
            return widget;
    }
    return nullptr;
}
