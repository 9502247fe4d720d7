#include "GradeVocabulary.h"

#include "FrameStyle.h"
#include "TextRules.h"

#include <QCoreApplication>

#include <array>

namespace GradeVocabulary {

namespace {
const std::array<Grade, 4> &grades() {
    static const std::array<Grade, 4> table{{
        {4, 0, QString::fromUtf8(QT_TRANSLATE_NOOP("GradeVocabulary", "优秀")),
         QStringLiteral("grade_good_icon"), QStringLiteral("399f15"),
         QStringLiteral("grade_big_excellent")},
        {3, 1, QString::fromUtf8(QT_TRANSLATE_NOOP("GradeVocabulary", "良好")),
         QStringLiteral("grade_liang_icon"), QStringLiteral("399f15"),
         QStringLiteral("grade_big_good")},
        {2, 2, QString::fromUtf8(QT_TRANSLATE_NOOP("GradeVocabulary", "合格")),
         QStringLiteral("grade_success_icon"), QStringLiteral("399f15"),
         QStringLiteral("grade_big_pass")},
        {1, 3, QString::fromUtf8(QT_TRANSLATE_NOOP("GradeVocabulary", "不合格")),
         QStringLiteral("grade_fail_icon"), QStringLiteral("eb0000"),
         QStringLiteral("grade_big_fair")},
    }};
    return table;
}

template <class Match> std::optional<Grade> find(Match match) {
    for (const Grade &grade : grades()) {
        if (match(grade))
            return grade;
    }
    return std::nullopt;
}

const QString FailStamp = QStringLiteral("grade_big_fair");
} // namespace

std::optional<Grade> byText(const QString &feelTypeStr) {
    return find([&](const Grade &g) { return g.text == feelTypeStr; });
}

std::optional<Grade> byCode(int code) {
    return find([&](const Grade &g) { return g.code == code; });
}

std::optional<Grade> byButtonTag(int tag) {
    return find([&](const Grade &g) { return g.buttonTag == tag; });
}

std::optional<Grade> byKey(int digit) {
    return byButtonTag(digit - 1);
}

QString listIconFor(const QString &feelTypeStr) {
    const auto grade = byText(feelTypeStr);
    return grade ? grade->listIcon : QString();
}

QColor listColorFor(const QString &feelTypeStr) {
    const auto grade = byText(feelTypeStr);
    return grade ? TextRules::colorWithHexString(grade->colorHex)
                 : TextRules::colorWithHex(FrameStyle::DarkGrey);
}

QString stampFor(const QString &feelTypeStr) {
    const auto grade = byText(feelTypeStr);
    return grade ? grade->stampImage : FailStamp;
}

QString stampForCode(int code) {
    const auto grade = byCode(code);
    return grade ? grade->stampImage : QString();
}

QString textForCode(int code) {
    const std::optional<Grade> grade = byCode(code);
    return grade ? grade->text : QString();
}

QString displayText(const QString &feelTypeStr) {
    if (!byText(feelTypeStr) && feelTypeStr != WaitingText)
        return feelTypeStr;
    return QCoreApplication::translate("GradeVocabulary", feelTypeStr.toUtf8().constData());
}

QString displayTextForCode(int code) {
    return displayText(textForCode(code));
}

} // namespace GradeVocabulary
