#pragma once

#include "records/AccountRecords.h"

#include <QAbstractListModel>

// Classes as the profile lists them: the teacher's own classes, and the classes the picker
// offers. A row reads "GradeName" followed by "ClassName". The whole list comes in one answer
// and shrinks one class at a time as the service accepts a change.
class UserClassRows : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        ClassIdRole = Qt::UserRole + 1,
        ArrowAngleRole, // degrees the row's arrow is turned (the row chosen for an exchange)
    };

    explicit UserClassRows(QObject *parent = nullptr);

    // "%@%@": the grade's name, then the class's.
    static QString titleOf(const SelectClassModel &schoolClass);

    const QList<SelectClassModel> &classes() const { return m_classes; }
    int count() const { return int(m_classes.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < count(); }

    // Replaces every row; every arrow turns back.
    void setClasses(const QList<SelectClassModel> &classes);
    // Takes out the row holding `classId`: `preferredRow` when it holds it (a class listed twice
    // loses the row the teacher pointed at), else the first that does. The row removed, or -1
    // when no row holds the class (the list changed since the request went out).
    int removeClass(qint64 classId, int preferredRow = -1);

    // Rows can be chosen only while selectable (the profile's edit mode).
    void setSelectable(bool selectable);
    bool isSelectable() const { return m_selectable; }
    // Turns the arrow of `row` (only one row's at a time); a row that is not there turns none.
    void setArrowAngle(int row, qreal degrees);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<SelectClassModel> m_classes;
    bool m_selectable = true;
    int m_turnedRow = -1;
    qreal m_angle = 0;
};
