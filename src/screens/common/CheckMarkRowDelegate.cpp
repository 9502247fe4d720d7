#include "CheckMarkRowDelegate.h"

#include "Assets.h"

#include <QPainter>

namespace {
constexpr int TitleInset = 20;
constexpr int TitlePixelSize = 13;
constexpr QSize CheckMarkSize(20, 15);
// A left-list row keeps room for its image before the title and needs none for a mark after it.
constexpr int ImagedTitleInset = 50;
constexpr int ImagedTitleRightInset = 4;
constexpr QPoint ImageOffset(20, 9);
constexpr QSize ImageSize(20, 20);
} // namespace

CheckMarkRowDelegate::CheckMarkRowDelegate(const Look &look, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_look(look) {}

QSize CheckMarkRowDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &) const {
    return {option.rect.width(), m_look.rowHeight};
}

void CheckMarkRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const {
    const QRect r = option.rect;
    const bool chosen = index.data(CheckMarkRoles::MarkedRole).toBool();
    const bool leftOfTwo = index.data(CheckMarkRoles::LeftOfTwoRole).toBool();
    const bool marked = chosen && !leftOfTwo;
    painter->save();
    painter->fillRect(r, leftOfTwo && !chosen ? m_look.leftListColor : QColor(Qt::white));
    QFont f = option.font;
    f.setPixelSize(TitlePixelSize);
    painter->setFont(f);
    painter->setPen(marked ? m_look.highlightColor : m_textColor);
    painter->drawText(leftOfTwo ? r.adjusted(ImagedTitleInset, 0, -ImagedTitleRightInset, 0)
                                : r.adjusted(TitleInset, 0, -m_look.titleRightInset, 0),
                      Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
    painter->fillRect(
        QRect(r.left() + m_look.separatorInset, r.bottom(), r.width() - m_look.separatorInset, 1),
        m_separatorColor);
    if (leftOfTwo) {
        const QPixmap image = index.data(Qt::DecorationRole).value<QPixmap>();
        if (!image.isNull())
            painter->drawPixmap(QRect(r.topLeft() + ImageOffset, ImageSize), image);
    }
    if (marked)
        paintCheckMark(painter, r, m_look.checkFromRight);
    painter->restore();
}

void CheckMarkRowDelegate::paintCheckMark(QPainter *painter, const QRect &cell, int fromRight) {
    const QRect mark(QPoint(cell.right() + 1 - fromRight,
                            cell.top() + (cell.height() - CheckMarkSize.height()) / 2),
                     CheckMarkSize);
    painter->drawPixmap(mark, Assets::pixmap(QStringLiteral("ico_make"), CheckMarkSize));
}
