// The generated pictures: their sizes, that their text is really drawn, and that odd text never
// breaks them.

#include "DemoImages.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtTest>

#include <functional>

namespace {

QImage decoded(const QByteArray &png) {
    return QImage::fromData(png, "PNG");
}

} // namespace

class tst_BookImages : public QObject {
    Q_OBJECT

private slots:
    void sizes_data() {
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QSize>("size");
        QTest::newRow("cover") << DemoImages::bookCoverPng(QStringLiteral("小王子"), 3)
                               << QSize(300, 400);
        QTest::newRow("portrait") << DemoImages::portraitPng(QStringLiteral("王小明"), 3)
                                  << QSize(200, 200);
        QTest::newRow("thumbnail")
            << DemoImages::reflectionPicturePng(QStringLiteral("我读完了"), 3, true)
            << QSize(160, 120);
        QTest::newRow("bmiddle") << DemoImages::reflectionPicturePng(QStringLiteral("我读完了"), 3,
                                                                     false)
                                 << QSize(640, 480);
    }

    void sizes() {
        QFETCH(QByteArray, png);
        QFETCH(QSize, size);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(decoded(png).size(), size);
    }

    // Two inputs that must give different pictures (or the same one) at the same seed: the
    // text is drawn, and only the part of it that is meant to be.
    void textIsDrawn() {
        QVERIFY(DemoImages::bookCoverPng(QStringLiteral("小王子"), 5) !=
                DemoImages::bookCoverPng(QStringLiteral("大林和小林"), 5));
        QVERIFY(DemoImages::bookCoverPng(QStringLiteral("小王子"), 5) !=
                DemoImages::bookCoverPng(QStringLiteral("小王子"), 6));
        QVERIFY(DemoImages::portraitPng(QStringLiteral("王小明"), 5) !=
                DemoImages::portraitPng(QStringLiteral("王小红"), 5));
        // A portrait shows only the last character.
        QCOMPARE(decoded(DemoImages::portraitPng(QStringLiteral("王明"), 5)),
                 decoded(DemoImages::portraitPng(QStringLiteral("李明"), 5)));
        QVERIFY(DemoImages::reflectionPicturePng(QStringLiteral("春天来了"), 5, false) !=
                DemoImages::reflectionPicturePng(QStringLiteral("秋天到了"), 5, false));
        // The thumbnail is the same scene, not another one.
        const QImage small =
            decoded(DemoImages::reflectionPicturePng(QStringLiteral("春天"), 9, true));
        const QImage large =
            decoded(DemoImages::reflectionPicturePng(QStringLiteral("春天"), 9, false));
        const QImage scaled =
            large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(small.pixelColor(80, 10).name(), scaled.pixelColor(80, 10).name());
    }

    void oddTextStillGivesAPicture_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral(" \t\n ");
        QTest::newRow("very long") << QString(20000, u'书');
        QTest::newRow("lone high surrogate") << QString(QChar(0xD800));
        QTest::newRow("lone low surrogate at the end") << QStringLiteral("小明") + QChar(0xDC00);
        QTest::newRow("emoji family") << QStringLiteral("读书👨‍👩‍👧‍👦");
        QTest::newRow("combining marks") << QStringLiteral("e\u0301\u0301\u0301\u0301");
        QTest::newRow("right to left") << QStringLiteral("كتاب جميل");
        QTest::newRow("nul characters") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("one long word") << QString(500, u'W');
    }

    void oddTextStillGivesAPicture() {
        QFETCH(QString, text);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(decoded(DemoImages::bookCoverPng(text, 77)).size(), QSize(300, 400));
        QCOMPARE(decoded(DemoImages::portraitPng(text, 77)).size(), QSize(200, 200));
        QCOMPARE(decoded(DemoImages::reflectionPicturePng(text, 77, true)).size(), QSize(160, 120));
        QCOMPARE(decoded(DemoImages::reflectionPicturePng(text, 77, false)).size(),
                 QSize(640, 480));
        // Generous for a sanitizer build; an unbounded layout of the whole text takes far longer.
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    void negativeAndExtremeSeeds() {
        for (int seed : {0, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
            QCOMPARE(decoded(DemoImages::bookCoverPng(QStringLiteral("种子"), seed)).size(),
                     QSize(300, 400));
    }
};

QTEST_MAIN(tst_BookImages)
#include "tst_BookImages.moc"
