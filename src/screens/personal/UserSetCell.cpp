#include "UserSetCell.h"

#include "Assets.h"
#include "FrameStyle.h"
#include "SettingRows.h"

#include <QPainter>

namespace {
constexpr int Inset = 16;
constexpr int LabelGap = 14;
constexpr QRgb LabelColor = 0x3c3c3c;
constexpr QRgb PressedColor = 0xEDE6DA;
} // namespace

QSize UserSetCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return {option.rect.width(), RowHeight};
}

void UserSetCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                        const QModelIndex &index) const {
    const QRect r = option.rect;
    painter->save();
    const bool marked = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    painter->fillRect(r, marked ? QColor(PressedColor) : QColor(Qt::white));

    const QPixmap icon =
        Assets::pixmap(index.data(SettingRows::ImageRole).toString(), {IconSide, IconSide});
    const QRect iconRect(r.left() + Inset, r.top() + (r.height() - IconSide) / 2, IconSide,
                         IconSide);
    if (!icon.isNull())
        painter->drawPixmap(iconRect, icon);

    QFont font = option.font;
    font.setPixelSize(16);
    painter->setFont(font);
    painter->setPen(QColor(LabelColor));
    const QRect labelRect(iconRect.right() + 1 + LabelGap, r.top(),
                          r.right() - iconRect.right() - LabelGap - Inset, r.height());
    painter->drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(index.data(SettingRows::NameRole).toString(),
                                                    Qt::ElideRight, labelRect.width()));

    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), QColor(FrameStyle::HairlineColor));
    // The keyboard's place in the menu, which a click never shows.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(QColor(FrameStyle::TitleColor), 1, Qt::DotLine));
        painter->drawRect(r.adjusted(2, 2, -3, -3));
    }
    painter->restore();
}
