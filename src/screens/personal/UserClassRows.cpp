#include "UserClassRows.h"

UserClassRows::UserClassRows(QObject *parent)
    : QAbstractListModel(parent) {}

QString UserClassRows::titleOf(const SelectClassModel &schoolClass) {
    return schoolClass.GradeName.value_or(QString()) + schoolClass.ClassName.value_or(QString());
}

void UserClassRows::setClasses(const QList<SelectClassModel> &classes) {
    beginResetModel();
    m_classes = classes;
    m_turnedRow = -1;
    m_angle = 0;
    endResetModel();
}

int UserClassRows::removeClass(qint64 classId, int preferredRow) {
    int row = isValidRow(preferredRow) && m_classes.at(preferredRow).ClassId == classId
                  ? preferredRow
                  : -1;
    for (int r = 0; row < 0 && r < count(); ++r) {
        if (m_classes.at(r).ClassId == classId)
            row = r;
    }
    if (row < 0)
        return -1;
    beginRemoveRows({}, row, row);
    m_classes.removeAt(row);
    endRemoveRows();
    // The arrow belonged to a row that has moved or gone.
    setArrowAngle(-1, 0);
    return row;
}

void UserClassRows::setSelectable(bool selectable) {
    if (selectable == m_selectable)
        return;
    // Flags are no role: views read them again only on a reset.
    beginResetModel();
    m_selectable = selectable;
    endResetModel();
}

void UserClassRows::setArrowAngle(int row, qreal degrees) {
    const int before = m_turnedRow;
    m_turnedRow = isValidRow(row) ? row : -1;
    m_angle = m_turnedRow < 0 ? 0 : degrees;
    for (int changed : {before, m_turnedRow}) {
        if (isValidRow(changed))
            emit dataChanged(index(changed), index(changed), {ArrowAngleRole});
    }
}

int UserClassRows::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QHash<int, QByteArray> UserClassRows::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert({{ClassIdRole, "ClassId"}, {ArrowAngleRole, "arrowAngle"}});
    return names;
}

QVariant UserClassRows::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SelectClassModel &schoolClass = m_classes.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return titleOf(schoolClass);
    case Qt::TextAlignmentRole:
        // The picker's rows sit in the middle, as on a picker wheel.
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case ClassIdRole:
        return schoolClass.ClassId;
    case ArrowAngleRole:
        return index.row() == m_turnedRow ? m_angle : 0.0;
    default:
        return {};
    }
}

Qt::ItemFlags UserClassRows::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return m_selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
}
