#pragma once

#include <QAbstractProxyModel>
#include <QCollator>
#include <QList>

class StudentRows;

// The roster's pupils as the desktop form's table: the same rows as the cards, in five columns
// (姓名, 小红花, 等级, 测评, 手机). Name, flowers and level keep the order the service sorted the
// rows in (reversed when asked the other way); tests and mobile are ordered here, ties by name in
// Chinese collation order. A row here is an index into the source's rows, never a copy.
class RosterColumns : public QAbstractProxyModel {
    Q_OBJECT
public:
    enum Column { Name, Flowers, Level, Tests, Mobile, ColumnCount };

    explicit RosterColumns(StudentRows *rows, QObject *parent = nullptr);

    // The columns whose order comes from the service: sorting by them asks it again.
    static bool serviceOrders(int column);
    // The order a header click on a new column sorts in: the direction the service orders that
    // column in, best first for tests, mobile numbers ascending.
    static Qt::SortOrder firstOrder(int column);

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // The column's title in the language in force.
    static QString title(int column);
    // Column `column` of the pupil at `sourceRow`, as the table shows it.
    QString cellText(int sourceRow, int column) const;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &index) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Reorders the rows; selections and current rows follow their pupils.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    static QVariant alignment(int column);
    void beginSourceChange();
    void endSourceChange();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                           const QList<int> &roles);
    void rebuildOrder();
    bool before(int left, int right) const;

    StudentRows *m_rows;
    QList<int> m_order; // row here -> row of the source
    QList<int> m_rowOf; // row of the source -> row here
    int m_sortColumn = Name;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_resetting = false;
    QCollator m_collator;
};
