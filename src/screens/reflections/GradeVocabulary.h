#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QString>

#include <optional>

// The four grades as the dialog, the service, the lists and the review screen know them. The
// service reports a grade only as its Chinese text (FeelTypeStr), so the lists and the stamp look
// a grade up by that text; the dialog produces the code that UpdateFeel carries. The texts here
// stay Chinese for matching; displayText() is what the teacher reads.
namespace GradeVocabulary {

struct Grade {
    int code;           // UpdateFeelReq.feelType
    int buttonTag;      // tag of the dialog's grade button
    QString text;       // FeelTypeStr, never translated: shown through displayText()
    QString listIcon;   // typeImageView of a list row
    QString colorHex;   // typeLabel of a list row
    QString stampImage; // gradeImageView of the review screen
};

// What the service reports for a reflection nobody has graded yet.
inline const QString WaitingText =
    QString::fromUtf8(QT_TRANSLATE_NOOP("GradeVocabulary", "待批阅"));
// The dialog's choice before the teacher touches a grade: excellent.
inline constexpr int DefaultCode = 4;

std::optional<Grade> byText(const QString &feelTypeStr);
std::optional<Grade> byCode(int code);
std::optional<Grade> byButtonTag(int tag);
// Keys 1 to 4 give the grades in the dialog's order: 1 excellent (code 4) … 4 fail (code 1).
std::optional<Grade> byKey(int digit);

// A row's icon: none for a text outside the four grades ("待批阅" among them).
QString listIconFor(const QString &feelTypeStr);
// A row's grade colour: dark grey for a text outside the four grades.
QColor listColorFor(const QString &feelTypeStr);
// The stamp of a read-only reflection: any text outside the first three grades gets the fail
// stamp, as the service's own texts for the grades are the only ones it knows.
QString stampFor(const QString &feelTypeStr);
// The stamp after grading with `code`; empty for a code outside the four.
QString stampForCode(int code);
// The grade's text for `code`; empty for a code outside the four.
QString textForCode(int code);
// What the teacher reads for a FeelTypeStr: the four grades and WaitingText in the current
// language, any other text the service sent as it came.
QString displayText(const QString &feelTypeStr);
QString displayTextForCode(int code);

} // namespace GradeVocabulary
