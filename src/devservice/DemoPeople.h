#pragma once

// Believable Chinese names for demo pupils and teachers, with their pinyin so rosters can be
// ordered the way a teacher reads them.

#include <QRandomGenerator>
#include <QString>

struct DemoName {
    QString name;   // "王浩宇"
    QString pinyin; // "wang hao yu": the roster's order by name
    qint64 sex = 0; // 0 boy, 1 girl
};

class DemoPeople {
public:
    // A name for a child of the given sex (0 boy, 1 girl), one or two given characters.
    static DemoName childName(QRandomGenerator &random, qint64 sex);
    // A "13" or "15" mobile number of eleven digits.
    static QString mobileNumber(QRandomGenerator &random);
};
