#pragma once

// The demo catalogue: categories, a few hundred children's books with believable titles,
// publishers, ISBNs and introductions, and the comments, likes and collections that the demo
// people have left on them. Everything is derived from fixed seeds, so every fresh database
// holds the same books under the same ids.

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace BookDemoData {

struct Category {
    qint64 id = 0;
    QString name;
};

struct Book {
    QString name;
    qint64 sortId = 0;
    int gradeId = 1; // 1 to 6
    qint64 flowers = 0;
    QString press;
    QString isbn; // ISBN-13 with hyphens
    QString introduce;
    int ageDays = 0;   // how long before seeding the book joined the catalogue
    double appeal = 0; // 0..1: how likely a reader is to like, comment on or collect it
};

// In menu order.
QList<Category> categories();
// In id order: the first book gets id 1.
QList<Book> books();

// The ISBN-13 check digit for the first twelve digits (other characters are skipped); -1 when
// there are not exactly twelve digits.
int isbn13CheckDigit(const QString &firstTwelve);

// The account whose collections and comments the demo shows first.
inline const QString DemoTeacherUserName = QStringLiteral("13800000001");

// Fills the book tables of an empty database: categories, books, and the comments, likes and
// collections of the people in the users table. Throws SqlError on failure.
void seed(const QSqlDatabase &db, const QDateTime &now);

} // namespace BookDemoData
