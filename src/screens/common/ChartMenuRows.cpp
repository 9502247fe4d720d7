#include "ChartMenuRows.h"

#include "ChartDropDownMenu.h"
#include "ChartMenuColumn.h"
#include "CheckMarkRoles.h"

ChartMenuRows::ChartMenuRows(ChartDropDownMenu *menu, int leftOrRight)
    : QAbstractListModel(menu)
    , m_menu(menu)
    , m_leftOrRight(leftOrRight) {}

void ChartMenuRows::reload(bool empty) {
    beginResetModel();
    m_count = 0;
    if (auto *source = m_menu->dataSource(); source && !empty) {
        m_count = std::max<qint64>(
            0, source->menuNumberOfRowsInColumn(m_menu, m_menu->currentSelectedMenudIndex(),
                                                m_leftOrRight, leftRow()));
    }
    endResetModel();
}

void ChartMenuRows::retitle() {
    if (m_count > 0)
        emit dataChanged(index(0), index(rowCount() - 1));
}

int ChartMenuRows::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(std::min<qint64>(m_count, INT_MAX));
}

QHash<int, QByteArray> ChartMenuRows::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(CheckMarkRoles::names());
    return names;
}

QVariant ChartMenuRows::data(const QModelIndex &index, int role) const {
    auto *source = m_menu->dataSource();
    if (!source || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const qint64 column = m_menu->currentSelectedMenudIndex();
    const ChartIndexPath path =
        ChartIndexPath::indexPathWithCol(column, m_leftOrRight, leftRow(), index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return source->menuTitleForRowAtIndexPath(m_menu, path);
    // The left row is the owner's current choice; a right row or a grid item is marked when
    // it reads as the column's title, since only the title tells which one was chosen.
    if (role == Qt::AccessibleDescriptionRole)
        return data(index, CheckMarkRoles::MarkedRole).toBool() ? tr("已选") : QString();
    if (role == CheckMarkRoles::MarkedRole) {
        if (m_leftOrRight == 0)
            return index.row() == m_menu->leftSelectedRow();
        const ChartMenuColumn *c = m_menu->column(int(column));
        return c && c->title() == source->menuTitleForRowAtIndexPath(m_menu, path);
    }
    if (m_leftOrRight != 0)
        return {};
    if (role == CheckMarkRoles::LeftOfTwoRole)
        return source->haveRightTableViewInColumn(column);
    if (role == Qt::DecorationRole && source->haveRightTableViewInColumn(column))
        return source->menuImageForRowAtIndexPath(m_menu, path,
                                                  index.row() == m_menu->leftSelectedRow());
    return {};
}

qint64 ChartMenuRows::leftRow() const {
    return m_leftOrRight < 0 ? -1 : m_menu->leftSelectedRow();
}
