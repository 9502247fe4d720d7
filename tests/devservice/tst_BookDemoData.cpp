// The demo catalogue as generated, before it reaches a database.

#include "BookDemoData.h"

#include <QHash>
#include <QSet>
#include <QtTest>

class tst_BookDemoData : public QObject {
    Q_OBJECT

private slots:
    void isbnCheckDigit_data() {
        QTest::addColumn<QString>("firstTwelve");
        QTest::addColumn<int>("digit");
        // Published ISBNs, so the rule is checked against the world and not against itself.
        QTest::newRow("978-0-306-40615-7") << QStringLiteral("978030640615") << 7;
        QTest::newRow("978-3-16-148410-0") << QStringLiteral("978316148410") << 0;
        QTest::newRow("978-1-86197-271-2") << QStringLiteral("978186197271") << 2;
        QTest::newRow("hyphens are skipped") << QStringLiteral("978-0-306-40615") << 7;
        QTest::newRow("eleven digits") << QStringLiteral("97803064061") << -1;
        QTest::newRow("thirteen digits") << QStringLiteral("9780306406157") << -1;
        QTest::newRow("nothing") << QString() << -1;
        QTest::newRow("full-width digits are not digits")
            << QStringLiteral("９７８０３０６４０６１５") << -1;
    }

    void isbnCheckDigit() {
        QFETCH(QString, firstTwelve);
        QFETCH(int, digit);
        QCOMPARE(BookDemoData::isbn13CheckDigit(firstTwelve), digit);
    }

    void catalogueIsLargeVariedAndConsistent() {
        const QList<BookDemoData::Book> books = BookDemoData::books();
        QVERIFY(books.size() >= 300);

        QSet<qint64> categoryIds;
        for (const BookDemoData::Category &category : BookDemoData::categories()) {
            QVERIFY(!category.name.isEmpty());
            categoryIds.insert(category.id);
        }
        QSet<QString> names;
        QSet<QString> isbns;
        QHash<qint64, int> perCategory;
        QSet<int> grades;
        for (const BookDemoData::Book &book : books) {
            QVERIFY2(!names.contains(book.name), qPrintable(book.name));
            names.insert(book.name);
            QCOMPARE(book.name, book.name.trimmed());
            QVERIFY(categoryIds.contains(book.sortId));
            ++perCategory[book.sortId];
            QVERIFY(book.gradeId >= 1 && book.gradeId <= 6);
            grades.insert(book.gradeId);
            QVERIFY(book.flowers >= 0);
            QVERIFY(book.appeal > 0 && book.appeal <= 1);
            QVERIFY(book.ageDays > 0);
            QVERIFY(!book.press.isEmpty());

            QString digits = book.isbn;
            digits.remove(u'-');
            QCOMPARE(digits.size(), 13);
            QCOMPARE(BookDemoData::isbn13CheckDigit(digits.left(12)), digits.at(12).digitValue());
            QVERIFY2(!isbns.contains(book.isbn), qPrintable(book.isbn));
            isbns.insert(book.isbn);

            // A few sentences, every placeholder filled.
            QVERIFY(book.introduce.count(u'。') + book.introduce.count(u'！') >= 3);
            QVERIFY2(!book.introduce.contains(u'%'), qPrintable(book.introduce));
        }
        QCOMPARE(QSet<int>({1, 2, 3, 4, 5, 6}), grades);
        QCOMPARE(perCategory.size(), categoryIds.size());
        for (auto it = perCategory.cbegin(); it != perCategory.cend(); ++it)
            QVERIFY2(it.value() >= 10, qPrintable(QString::number(it.key())));
    }

    // A fresh database must get the same books under the same ids every time, or links and
    // screenshots taken on one machine would show other books on the next.
    void catalogueIsTheSameEveryTime() {
        const QList<BookDemoData::Book> first = BookDemoData::books();
        const QList<BookDemoData::Book> second = BookDemoData::books();
        QCOMPARE(first.size(), second.size());
        for (qsizetype i = 0; i < first.size(); ++i) {
            QCOMPARE(first.at(i).name, second.at(i).name);
            QCOMPARE(first.at(i).isbn, second.at(i).isbn);
            QCOMPARE(first.at(i).introduce, second.at(i).introduce);
            QCOMPARE(first.at(i).flowers, second.at(i).flowers);
        }
    }
};

QTEST_GUILESS_MAIN(tst_BookDemoData)
#include "tst_BookDemoData.moc"
