#pragma once

// The words the platform uses for grades, pupils' levels and reflection grades.

#include <QString>

#include <optional>

class SchoolWords {
public:
    // 3 -> "三": the home and roster screens add "年级" themselves ("%@年级%@").
    static QString gradeNumeral(qint64 grade);
    // 3 -> "三年级": where the text stands alone (profile, pupil's home).
    static QString gradeName(qint64 grade);

    // A pupil's level title by the flowers earned; higher levels need more flowers.
    static QString levelTitle(qint64 flowers);

    // Reflection grades: the codes the grading dialog sends (4 best .. 1 fail) and the exact
    // texts the screens compare FeelTypeStr with; nothing for any other code.
    static std::optional<QString> feelGradeText(qint64 code);
    // What an ungraded reflection reports.
    static QString waitingText();

    // A stored time (ms since the epoch) as the platform shows it: Beijing time whatever the
    // machine's zone, "yyyy-MM-dd HH:mm:ss" or with minutes only.
    static QString timeText(qint64 ms);
    static QString minuteText(qint64 ms);
};
