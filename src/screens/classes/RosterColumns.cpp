#include "RosterColumns.h"

#include "StudentRows.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace {
const char *const Titles[RosterColumns::ColumnCount] = {
    QT_TRANSLATE_NOOP("RosterColumns", "姓名"), QT_TRANSLATE_NOOP("RosterColumns", "小红花"),
    QT_TRANSLATE_NOOP("RosterColumns", "等级"), QT_TRANSLATE_NOOP("RosterColumns", "测评"),
    QT_TRANSLATE_NOOP("RosterColumns", "手机")};
} // namespace

RosterColumns::RosterColumns(StudentRows *rows, QObject *parent)
    : QAbstractProxyModel(parent)
    , m_rows(rows)
    , m_collator(QLocale(QLocale::Chinese, QLocale::China)) {
    QAbstractProxyModel::setSourceModel(rows);
    // A roster arrives whole (a reset); whatever else moves the rows is taken the same way, so
    // the order is always rebuilt from the rows as they are.
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this,
            &RosterColumns::beginSourceChange);
    connect(rows, &QAbstractItemModel::modelReset, this, &RosterColumns::endSourceChange);
    connect(rows, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &RosterColumns::beginSourceChange);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &RosterColumns::endSourceChange);
    connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &RosterColumns::beginSourceChange);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &RosterColumns::endSourceChange);
    connect(rows, &QAbstractItemModel::rowsAboutToBeMoved, this, &RosterColumns::beginSourceChange);
    connect(rows, &QAbstractItemModel::rowsMoved, this, &RosterColumns::endSourceChange);
    connect(rows, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &RosterColumns::beginSourceChange);
    connect(rows, &QAbstractItemModel::layoutChanged, this, &RosterColumns::endSourceChange);
    connect(rows, &QAbstractItemModel::dataChanged, this, &RosterColumns::sourceDataChanged);
    rebuildOrder();
}

bool RosterColumns::serviceOrders(int column) {
    return column == Name || column == Flowers || column == Level;
}

Qt::SortOrder RosterColumns::firstOrder(int column) {
    return column == Name || column == Mobile ? Qt::AscendingOrder : Qt::DescendingOrder;
}

// Counts sit in the middle of their column, under its title; texts start at its left.
QVariant RosterColumns::alignment(int column) {
    const Qt::Alignment across =
        column == Flowers || column == Tests ? Qt::AlignHCenter : Qt::AlignLeft;
    return int(across | Qt::AlignVCenter);
}

QString RosterColumns::title(int column) {
    return column >= 0 && column < ColumnCount ? tr(Titles[column]) : QString();
}

QString RosterColumns::cellText(int sourceRow, int column) const {
    if (!m_rows->isValidRow(sourceRow))
        return {};
    const StudentListModel &pupil = m_rows->at(sourceRow);
    switch (column) {
    case Name:
        return pupil.RealName.value_or(QString());
    case Flowers:
        return QString::number(pupil.FlowerNumber);
    case Level:
        return pupil.MyTitle.value_or(QString());
    case Tests:
        return QString::number(pupil.TestPassNum);
    case Mobile:
        return pupil.Mobile.value_or(QString());
    default:
        return {};
    }
}

QModelIndex RosterColumns::mapToSource(const QModelIndex &proxyIndex) const {
    if (!proxyIndex.isValid() || proxyIndex.row() >= m_order.size())
        return {};
    return m_rows->index(m_order.at(proxyIndex.row()), 0);
}

QModelIndex RosterColumns::mapFromSource(const QModelIndex &sourceIndex) const {
    if (!sourceIndex.isValid() || sourceIndex.row() >= m_rowOf.size())
        return {};
    return createIndex(m_rowOf.at(sourceIndex.row()), Name);
}

QModelIndex RosterColumns::index(int row, int column, const QModelIndex &parent) const {
    if (parent.isValid() || row < 0 || row >= m_order.size() || column < 0 || column >= ColumnCount)
        return {};
    return createIndex(row, column);
}

QModelIndex RosterColumns::parent(const QModelIndex &) const {
    return {};
}

int RosterColumns::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int RosterColumns::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool RosterColumns::hasChildren(const QModelIndex &parent) const {
    return rowCount(parent) > 0;
}

QModelIndex RosterColumns::sibling(int row, int column, const QModelIndex &) const {
    return index(row, column);
}

Qt::ItemFlags RosterColumns::flags(const QModelIndex &index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant RosterColumns::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int sourceRow = m_order.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return cellText(sourceRow, index.column());
    case Qt::TextAlignmentRole:
        return alignment(index.column());
    case Qt::DecorationRole:
        // The photos are the cards': the table asks for no download.
        return {};
    default:
        // The row's named parts (what `dump` and the tests read) hang on its first cell.
        return index.column() == Name ? m_rows->index(sourceRow, 0).data(role) : QVariant();
    }
}

QVariant RosterColumns::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return title(section);
    case Qt::InitialSortOrderRole:
        return int(firstOrder(section));
    default:
        return {};
    }
}

void RosterColumns::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList was = persistentIndexList();
    QList<int> sourceRows;
    sourceRows.reserve(was.size());
    for (const QModelIndex &index : was)
        sourceRows.append(m_order.value(index.row(), -1));
    m_sortColumn = column;
    m_sortOrder = order;
    rebuildOrder();
    QModelIndexList now;
    now.reserve(was.size());
    for (int i = 0; i < was.size(); ++i) {
        const int row = sourceRows.at(i) >= 0 ? m_rowOf.value(sourceRows.at(i), -1) : -1;
        now.append(row >= 0 ? createIndex(row, was.at(i).column()) : QModelIndex());
    }
    changePersistentIndexList(was, now);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RosterColumns::beginSourceChange() {
    if (m_resetting)
        return;
    m_resetting = true;
    beginResetModel();
}

void RosterColumns::endSourceChange() {
    if (!m_resetting)
        return;
    rebuildOrder();
    m_resetting = false;
    endResetModel();
}

void RosterColumns::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                      const QList<int> &roles) {
    // A pupil's record never changes in place (a new roster is a reset): only badges and
    // pictures do, so the order stands and each changed row is told on its own.
    if (m_resetting || !topLeft.isValid() || !bottomRight.isValid())
        return;
    for (int source = topLeft.row(); source <= bottomRight.row(); ++source) {
        const int row = m_rowOf.value(source, -1);
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1), roles);
    }
}

void RosterColumns::rebuildOrder() {
    const int n = m_rows->count();
    m_order.resize(n);
    std::iota(m_order.begin(), m_order.end(), 0);
    if (serviceOrders(m_sortColumn)) {
        if (m_sortOrder != firstOrder(m_sortColumn))
            std::reverse(m_order.begin(), m_order.end());
    } else {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [this](int left, int right) { return before(left, right); });
    }
    m_rowOf.resize(n);
    for (int row = 0; row < n; ++row)
        m_rowOf[m_order.at(row)] = row;
}

// Tests or mobile in the order asked, a pupil without a mobile number last either way, ties by
// name as a Chinese reader sorts names (by reading, not by code point), then as the service sent.
bool RosterColumns::before(int left, int right) const {
    const StudentListModel &a = m_rows->at(left);
    const StudentListModel &b = m_rows->at(right);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    if (m_sortColumn == Tests && a.TestPassNum != b.TestPassNum)
        return ascending ? a.TestPassNum < b.TestPassNum : a.TestPassNum > b.TestPassNum;
    if (m_sortColumn == Mobile) {
        const QString ma = a.Mobile.value_or(QString()).trimmed();
        const QString mb = b.Mobile.value_or(QString()).trimmed();
        if (ma.isEmpty() != mb.isEmpty())
            return mb.isEmpty();
        const int order = ma.compare(mb);
        if (order != 0)
            return ascending ? order < 0 : order > 0;
    }
    return m_collator.compare(a.RealName.value_or(QString()), b.RealName.value_or(QString())) < 0;
}
