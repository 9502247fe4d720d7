#pragma once

#include <QAbstractListModel>

class ChartDropDownMenu;

// The rows of one open part of the filter menu (0 the left or only list, 1 the right list, -1
// the grid), read from the data source each time the part is (re)loaded. Marked rows and the
// left list of a two-level column answer CheckMarkRoles.
class ChartMenuRows : public QAbstractListModel {
    Q_OBJECT
public:
    ChartMenuRows(ChartDropDownMenu *menu, int leftOrRight);

    // With `empty` the part shows no rows (a column without a right list).
    void reload(bool empty = false);
    // The same rows asked for their titles again (the language changed).
    void retitle();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    qint64 leftRow() const;

    ChartDropDownMenu *m_menu;
    int m_leftOrRight;
    qint64 m_count = 0;
};
