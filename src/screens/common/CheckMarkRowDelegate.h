#pragma once

#include "CheckMarkRoles.h"

#include <QColor>
#include <QStyledItemDelegate>

// A list row of a drop-down: white, the title 20 from the left, a line along the bottom; the
// marked row in the highlight colour with the check mark. A row of the left list of a two-level
// choice is grey unless it is the chosen one, shows its image before the title and no mark. The
// model answers the roles of CheckMarkRoles.h.
class CheckMarkRowDelegate : public QStyledItemDelegate {
public:
    struct Look {
        int rowHeight = 38;
        QColor highlightColor;
        QColor leftListColor;
        // From the row's right edge to the check mark's left edge, and to the title's end.
        int checkFromRight = 25;
        int titleRightInset = 0;
        // The bottom line starts this far in from the left.
        int separatorInset = 0;
    };

    CheckMarkRowDelegate(const Look &look, QObject *parent);

    void setTextColor(const QColor &color) { m_textColor = color; }
    void setSeparatorColor(const QColor &color) { m_separatorColor = color; }
    // The check mark in `cell`, its left edge `fromRight` in from the cell's right edge.
    static void paintCheckMark(QPainter *painter, const QRect &cell, int fromRight);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    Look m_look;
    QColor m_textColor = Qt::black;
    QColor m_separatorColor = Qt::black;
};
