#include "UserSetCell.h"

#include "Assets.h"
#include "CellPainter.h"
#include "FrameStyle.h"
#include "SettingRows.h"

#include <QPainter>

namespace {
constexpr int Inset = 16;
constexpr int LabelGap = 14;
} // namespace

QSize UserSetCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return {option.rect.width(), RowHeight};
}

void UserSetCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                        const QModelIndex &index) const {
    const QRect r = option.rect;
    painter->save();
    CellPainter::paintBackground(painter, option);

    const QPixmap icon =
        Assets::pixmap(index.data(SettingRows::ImageRole).toString(), {IconSide, IconSide});
    const QRect iconRect(r.left() + Inset, r.top() + (r.height() - IconSide) / 2, IconSide,
                         IconSide);
    if (!icon.isNull())
        painter->drawPixmap(iconRect, icon);

    QFont font = option.font;
    font.setPixelSize(16);
    int labelRight = r.right() - Inset;
    const QString value = index.data(SettingRows::SubNameRole).toString();
    if (!value.isEmpty()) {
        QFont valueFont = option.font;
        valueFont.setPixelSize(14);
        const int valueWidth = QFontMetrics(valueFont).horizontalAdvance(value);
        const QRect valueRect(labelRight - valueWidth, r.top(), valueWidth + 1, r.height());
        painter->setFont(valueFont);
        painter->setPen(QColor(FrameStyle::SheetTitleColor));
        painter->drawText(valueRect, Qt::AlignRight | Qt::AlignVCenter, value);
        labelRight = valueRect.left() - LabelGap;
    }
    painter->setFont(font);
    painter->setPen(QColor(FrameStyle::LabelColor));
    const QRect labelRect(iconRect.right() + 1 + LabelGap, r.top(),
                          labelRight - iconRect.right() - LabelGap, r.height());
    painter->drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(index.data(SettingRows::NameRole).toString(),
                                                    Qt::ElideRight, labelRect.width()));

    CellPainter::finish(painter, option, CellPainter::Hairline::Pixel);
    painter->restore();
}
