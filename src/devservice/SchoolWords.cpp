#include "SchoolWords.h"

#include <QDateTime>
#include <QStringList>

QString SchoolWords::gradeNumeral(qint64 grade) {
    static const QStringList numerals = {QStringLiteral("一"), QStringLiteral("二"),
                                         QStringLiteral("三"), QStringLiteral("四"),
                                         QStringLiteral("五"), QStringLiteral("六")};
    if (grade >= 1 && grade <= numerals.size())
        return numerals.at(grade - 1);
    return QString::number(grade);
}

QString SchoolWords::gradeName(qint64 grade) {
    return gradeNumeral(grade) + QStringLiteral("年级");
}

QString SchoolWords::levelTitle(qint64 flowers) {
    struct Level {
        qint64 minimum;
        const char16_t *title;
    };
    static const Level levels[] = {
        {300, u"阅读博士"}, {200, u"阅读达人"}, {120, u"阅读之星"},
        {60, u"阅读能手"},  {20, u"阅读小苗"},  {0, u"阅读新芽"},
    };
    for (const Level &level : levels) {
        if (flowers >= level.minimum)
            return QString::fromUtf16(level.title);
    }
    return QString::fromUtf16(levels[std::size(levels) - 1].title);
}

std::optional<QString> SchoolWords::feelGradeText(qint64 code) {
    switch (code) {
    case 4:
        return QStringLiteral("优秀");
    case 3:
        return QStringLiteral("良好");
    case 2:
        return QStringLiteral("合格");
    case 1:
        return QStringLiteral("不合格");
    default:
        return std::nullopt;
    }
}

QString SchoolWords::waitingText() {
    return QStringLiteral("待批阅");
}

namespace {

// A fixed offset needs no time-zone lookups, which cost a file check per conversion.
QDateTime beijingTime(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, 8 * 3600);
}

} // namespace

QString SchoolWords::timeText(qint64 ms) {
    return beijingTime(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SchoolWords::minuteText(qint64 ms) {
    return beijingTime(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
