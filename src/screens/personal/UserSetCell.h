#pragma once

#include <QStyledItemDelegate>

// A menu row, 50 high: the icon named by the row's settingImage, its settingName, its
// settingSubName (when it has one) at the right end, and a 1-pixel hairline along the bottom
// edge. Used by every menu of the personal centre (SettingRows roles).
class UserSetCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int RowHeight = 50;
    static constexpr int IconSide = 22;

    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
