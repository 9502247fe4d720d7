#include "FeelRows.h"

#include "GradeVocabulary.h"

FeelRows::FeelRows(QObject *parent)
    : PagedRows<GradeListModel>({}, parent) {
    setSinglePage(true);
}

QHash<int, QByteArray> FeelRows::roleNames() const {
    QHash<int, QByteArray> names = PagedRows<GradeListModel>::roleNames();
    names.insert({{BookNameRole, "bookNameLabel"},
                  {AuthorNameRole, "authorNameLabel"},
                  {TimeRole, "timeLabel"},
                  {TypeTextRole, "typeLabel"},
                  {TypeColorRole, "typeLabelColor"},
                  {TypeImageRole, "typeImageView"},
                  {FeelIdRole, "FeelId"}});
    return names;
}

QVariant FeelRows::rowData(const GradeListModel &record, int role) const {
    const QString grade = record.FeelTypeStr.value_or(QString());
    switch (role) {
    case BookNameRole:
        return QStringLiteral("《%1》").arg(record.BookName.value_or(QString()));
    case AuthorNameRole:
        return record.RealName.value_or(QString());
    case TimeRole:
        return record.CreateTimeStr.value_or(QString());
    case TypeTextRole:
        return grade;
    case TypeColorRole:
        return GradeVocabulary::listColorFor(grade);
    case TypeImageRole:
        return GradeVocabulary::listIconFor(grade);
    case FeelIdRole:
        return record.FeelId;
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        // What a screen reader and a widget dump read for the row.
        return QStringLiteral("《%1》 %2 %3 %4")
            .arg(record.BookName.value_or(QString()), record.RealName.value_or(QString()),
                 record.CreateTimeStr.value_or(QString()), grade);
    default:
        return {};
    }
}
