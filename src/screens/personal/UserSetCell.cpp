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
    painter->setFont(font);
    painter->setPen(QColor(FrameStyle::LabelColor));
    const QRect labelRect(iconRect.right() + 1 + LabelGap, r.top(),
                          r.right() - iconRect.right() - LabelGap - Inset, r.height());
    painter->drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(index.data(SettingRows::NameRole).toString(),
                                                    Qt::ElideRight, labelRect.width()));

    CellPainter::finish(painter, option, CellPainter::Hairline::Pixel);
    painter->restore();
}
