#pragma once

// Query rows into records. The members a row fills are named in one call in the order of the
// SELECT's columns, so a statement and the record it feeds read side by side; each member's
// type picks its conversion, and a NULL column gives the type's empty value.

#include "KeyValueMapping.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <optional>
#include <type_traits>

namespace RowRecords {

inline void take(const QVariant &value, qint64 &field) {
    field = value.toLongLong();
}
inline void take(const QVariant &value, int &field) {
    field = value.toInt();
}
inline void take(const QVariant &value, bool &field) {
    field = value.toBool();
}
inline void take(const QVariant &value, QString &field) {
    field = value.toString();
}
// A text member is present once read, empty for NULL.
inline void take(const QVariant &value, std::optional<QString> &field) {
    field = value.toString();
}

// Columns 0, 1, 2 ... of the row's current position into fields, in that order.
template <class... Fields> void read(const QSqlQuery &row, Fields &...fields) {
    int column = 0;
    (take(row.value(column++), fields), ...);
}

// One record per remaining row, each made by make(row).
template <class Make> auto collect(QSqlQuery &rows, Make &&make) {
    RecordArray<std::decay_t<decltype(make(rows))>> list;
    while (rows.next())
        list.append(make(rows));
    return list;
}

// One record per remaining row for records that are nothing but the row: the columns fill the
// members in order.
template <class Record, class... Types>
RecordArray<Record> all(QSqlQuery &rows, Types Record::*...members) {
    return collect(rows, [&](const QSqlQuery &row) {
        Record record;
        read(row, (record.*members)...);
        return record;
    });
}

} // namespace RowRecords
