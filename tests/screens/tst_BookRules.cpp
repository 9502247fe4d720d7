#include "books/BookDetailVC.h"
#include "books/CommentText.h"
#include "books/ZanMotion.h"

#include <QApplication>
#include <QtTest>

// The book screens' rules that need no screen: the comment field's character filter, the
// name's font size, and the like button's motion.
class tst_BookRules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }

    void unsupportedCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("cursorAfter");
        QTest::newRow("Chinese, ASCII, full-width kept")
            << "你好, ok! 《书》ＡＢ，。" << 0 << "你好, ok! 《书》ＡＢ，。" << 0;
        // Removals on both sides of the cursor: only those before it move it.
        QTest::newRow("emoji around the cursor") << "a😀b😀c" << 4 << "abc" << 2;
        QTest::newRow("line breaks kept, tab gone") << "a\tb\r\nc" << 6 << "ab\r\nc" << 5;
        QTest::newRow("range edges") << QString::fromUtf16(u"\u00BE\u00BF\u201F\u2020\uA4CF\uA4D0")
                                     << 0 << QString::fromUtf16(u"\u00BE\u201F\uA4CF") << 0;
        // Matched regardless of case: the Kelvin sign is taken for the letter k.
        QTest::newRow("case folding")
            << QString::fromUtf16(u"\u212A") << 1 << QString::fromUtf16(u"\u212A") << 1;
    }
    void unsupportedCharacters() {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, cursorAfter);
        QCOMPARE(CommentText::removeUnsupported(text, &cursor), kept);
        QCOMPARE(cursor, cursorAfter);
    }

    // 14 less the lines the name takes at the label's width, never below 9.
    void nameFontSize_data() {
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("one line") << 5 << 13;
        QTest::newRow("three lines") << 20 << 11;
        QTest::newRow("very long") << 200 << 9;
    }
    void nameFontSize() {
        QFETCH(int, characters);
        QFETCH(int, pixelSize);
        QFont font = QApplication::font();
        font.setPixelSize(14);
        QCOMPARE(BookDetailVC::nameFontPixelSize(QString(characters, u'书'), font, 100), pixelSize);
    }

    // From nothing to full size with an underdamped bounce, leaving at the given velocity; the
    // particles: about eight, each moving off and fading.
    void motion() {
        using namespace ZanMotion;
        const double tiny = 1e-6;
        QVERIFY(qAbs(zanSpring(tiny) / tiny - SpringVelocity * SpringSeconds) < 0.01);
        double peak = 0;
        for (double p = 0; p < 1; p += 0.001)
            peak = qMax(peak, zanSpring(p));
        QVERIFY2(peak > 1.2 && peak < 1.5, qPrintable(QString::number(peak)));
        QCOMPARE(zanSpring(1), 1.0);
        QVERIFY(qAbs(birthsUntil(5) - 25.0 / 3) < 1e-9);
        QVERIFY(birthsUntil(BurstSeconds / 2) > birthsUntil(BurstSeconds) / 2);
        QVERIFY(qAbs(positionAt(particleAt({0, 0}, 10, M_PI / 2, 1), 0.5).y() - 60) < 1e-9);
        QCOMPARE(alphaAt(0.25), 0.75);
    }
};

QTEST_MAIN(tst_BookRules)
#include "tst_BookRules.moc"
