#include "FeelRows.h"

#include "FrameStyle.h"
#include "GradeVocabulary.h"
#include "HeldChanges.h"

FeelRows::FeelRows(QObject *parent)
    : PagedRows<GradeListModel>({}, parent) {
    setSinglePage(true);
    connect(&HeldChanges::instance(), &HeldChanges::changed, this, [this](const QString &key) {
        for (int row = 0; row < rowCount(); ++row) {
            if (gradeKey(at(row).FeelId) == key)
                emit dataChanged(index(row), index(row));
        }
    });
}

QString FeelRows::gradeKey(qint64 feelId) {
    return QStringLiteral("feel:%1").arg(feelId);
}

bool FeelRows::isWaiting(int row) const {
    return isValidRow(row) && data(index(row), WaitingRole).toBool();
}

int FeelRows::rowOfFeel(qint64 feelId) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (at(row).FeelId == feelId)
            return row;
    }
    return -1;
}

QHash<int, QByteArray> FeelRows::roleNames() const {
    QHash<int, QByteArray> names = PagedRows<GradeListModel>::roleNames();
    names.insert({{BookNameRole, "bookNameLabel"},
                  {AuthorNameRole, "authorNameLabel"},
                  {TimeRole, "timeLabel"},
                  {TypeTextRole, "typeLabel"},
                  {TypeColorRole, "typeLabelColor"},
                  {TypeImageRole, "typeImageView"},
                  {FeelIdRole, "FeelId"},
                  {PendingRole, "pending"},
                  {WaitingRole, "waiting"}});
    return names;
}

QVariant FeelRows::rowData(const GradeListModel &record, int role) const {
    const HeldChanges &held = HeldChanges::instance();
    const QString key = gradeKey(record.FeelId);
    const HeldChanges::State state = held.state(key);
    QString grade = record.FeelTypeStr.value_or(QString());
    if (state != HeldChanges::State::None) {
        if (const auto given = GradeVocabulary::byCode(held.value(key).toInt()))
            grade = given->text;
    }
    const bool pending = state == HeldChanges::State::Held || state == HeldChanges::State::Queued ||
                         state == HeldChanges::State::Sending;
    switch (role) {
    case BookNameRole:
        //: A book's name as a list row shows it, in title marks.
        return tr("《%1》").arg(record.BookName.value_or(QString()));
    case AuthorNameRole:
        return record.RealName.value_or(QString());
    case TimeRole:
        return record.CreateTimeStr.value_or(QString());
    case TypeTextRole:
        return GradeVocabulary::displayText(grade);
    case TypeColorRole:
        return pending ? QColor(FrameStyle::LightGrey) : GradeVocabulary::listColorFor(grade);
    case TypeImageRole:
        return pending ? QString() : GradeVocabulary::listIconFor(grade);
    case PendingRole:
        return pending;
    case WaitingRole:
        return state == HeldChanges::State::None && grade == GradeVocabulary::WaitingText;
    case FeelIdRole:
        return record.FeelId;
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        // What a screen reader and a widget dump read for the row.
        //: A reflection's row read aloud: book, pupil, time written, grade.
        return tr("《%1》 %2 %3 %4")
            .arg(record.BookName.value_or(QString()), record.RealName.value_or(QString()),
                 record.CreateTimeStr.value_or(QString()), GradeVocabulary::displayText(grade));
    case Qt::AccessibleDescriptionRole:
        return pending ? tr("待发送") : QString();
    default:
        return {};
    }
}
