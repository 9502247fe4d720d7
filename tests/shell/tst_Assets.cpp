#include "Assets.h"

#include <QApplication>
#include <QImage>
#include <QtTest>

// Every image the screens name must ship and draw something; names are looked up the way the
// layouts and tables spell them.
class tst_Assets : public QObject {
    Q_OBJECT

private:
    static bool drawsSomething(const QPixmap &pixmap) {
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) > 0)
                    return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }

    void everyNamedAssetShips_data() {
        QTest::addColumn<QString>("name");
        const QStringList names = {
            // frame
            "nav_bg", "left_back_icon", "nothing_data_img",
            // tab bar
            "main_item_normal", "main_item_selected", "book_item_normal", "book_item_selected",
            "chart_item_normal", "chart_item_selected", "user_item_normal", "user_item_selected",
            // guide
            "go_intoApp_btn",
            // classes and pupils
            "class_card_icon", "class_list_icon", "class_first_icon", "class_second_icon",
            "class_third_icon", "class_general_icon", "user_man_head", "user_woman_head",
            "flower_icon",
            // reflections
            "grade_good_icon", "grade_liang_icon", "grade_success_icon", "grade_fail_icon",
            "grade_big_excellent", "grade_big_good", "grade_big_pass", "grade_big_fair",
            // books
            "book_search_btn", "book_comment_send_normal", "book_comment_zan_normal",
            "book_comment_zan_selected", "EffectImage",
            // drop-down menu
            "ico_make",
            // personal centre, settings, help
            "user_detail_icon", "collect_icon", "user_set_icon", "user_change_icon",
            "user_phone_icon", "user_help_icon"};
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
        // The guide spells its pages with the device class's format and a ".png" suffix.
        for (const char *device : {"iphone4", "iphone5", "iphone6", "iphone6p", "ipad"}) {
            for (int page = 1; page <= 3; ++page) {
                const QString name =
                    QStringLiteral("guide_%1_%2.png").arg(QLatin1String(device)).arg(page);
                QTest::newRow(qPrintable(name)) << name;
            }
        }
    }

    void everyNamedAssetShips() {
        QFETCH(QString, name);
        QVERIFY2(Assets::exists(name), qPrintable(name));
        const QSize natural = Assets::naturalSize(name);
        QVERIFY(!natural.isEmpty());
        const QPixmap pixmap = Assets::pixmap(name);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), natural);
        QVERIFY2(drawsSomething(pixmap), "asset renders fully transparent");
        QVERIFY(!Assets::icon(name).isNull());
    }

    void guidePagesMatchTheirDeviceScreens_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("iphone4") << "guide_iphone4_%1.png" << QSize(320, 480);
        QTest::newRow("iphone5") << "guide_iphone5_%1.png" << QSize(320, 568);
        QTest::newRow("iphone6") << "guide_iphone6_%1.png" << QSize(375, 667);
        QTest::newRow("iphone6p") << "guide_iphone6p_%1.png" << QSize(414, 736);
        QTest::newRow("ipad") << "guide_ipad_%1.png" << QSize(768, 1024);
    }

    void guidePagesMatchTheirDeviceScreens() {
        QFETCH(QString, format);
        QFETCH(QSize, screen);
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(Assets::naturalSize(format.arg(page)), screen);
    }

    void sizesTheScreensAskFor_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("back button") << "left_back_icon" << QSize(49, 17);
        QTest::newRow("empty-data image") << "nothing_data_img" << QSize(127, 122);
        QTest::newRow("flower") << "flower_icon" << QSize(14, 12);
        QTest::newRow("check mark") << "ico_make" << QSize(20, 15);
        QTest::newRow("search button") << "book_search_btn" << QSize(20, 20);
    }

    // The frame and the screens lay these out at fixed sizes; the drawings are made for them.
    void sizesTheScreensAskFor() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QCOMPARE(Assets::naturalSize(name), size);
    }

    void namesAreLookedUpWithoutSuffix_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "nav_bg"
                               << ":/assets/nav_bg.svg";
        QTest::newRow("png suffix") << "nav_bg.png"
                                    << ":/assets/nav_bg.svg";
        QTest::newRow("svg suffix") << "nav_bg.svg"
                                    << ":/assets/nav_bg.svg";
        QTest::newRow("upper-case suffix") << "nav_bg.PNG"
                                           << ":/assets/nav_bg.svg";
        QTest::newRow("surrounding blanks") << " nav_bg "
                                            << ":/assets/nav_bg.svg";
        QTest::newRow("case kept") << "EffectImage"
                                   << ":/assets/EffectImage.svg";
        QTest::newRow("wrong case") << "effectimage"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only suffix") << ".png"
                                     << "";
        QTest::newRow("unknown") << "no_such_icon"
                                 << "";
        QTest::newRow("parent folder") << "../assets/nav_bg"
                                       << "";
        QTest::newRow("sub folder") << "assets/nav_bg"
                                    << "";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "";
        QTest::newRow("backslash") << "..\\nav_bg"
                                   << "";
        QTest::newRow("hidden") << ".nav_bg"
                                << "";
    }

    void namesAreLookedUpWithoutSuffix() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(Assets::resourcePath(name), path);
        QCOMPARE(Assets::exists(name), !path.isEmpty());
        // A missing asset is no image at all: the caller shows nothing rather than failing.
        QCOMPARE(Assets::pixmap(name, QSize(20, 20)).isNull(), path.isEmpty());
        QCOMPARE(Assets::icon(name).isNull(), path.isEmpty());
    }

    void rendersAtTheRequestedSize_data() {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("natural") << QSize() << QSize(127, 122);
        QTest::newRow("smaller") << QSize(40, 30) << QSize(40, 30);
        QTest::newRow("larger") << QSize(254, 244) << QSize(254, 244);
        QTest::newRow("zero width") << QSize(0, 50) << QSize(127, 122);
        QTest::newRow("negative") << QSize(-5, -5) << QSize(127, 122);
        QTest::newRow("absurd") << QSize(1000000, 1000000) << QSize(4096, 4096);
    }

    void rendersAtTheRequestedSize() {
        QFETCH(QSize, requested);
        QFETCH(QSize, expected);
        const QPixmap pixmap = Assets::pixmap(QStringLiteral("nothing_data_img"), requested);
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), expected);
        QVERIFY(drawsSomething(pixmap));
    }

    // The cache is keyed by size: a small rendering must not come back for a large request.
    void cacheKeepsSizesApart() {
        const QPixmap small = Assets::pixmap(QStringLiteral("flower_icon"), QSize(14, 12));
        const QPixmap large = Assets::pixmap(QStringLiteral("flower_icon"), QSize(28, 24));
        QCOMPARE(small.deviceIndependentSize().toSize(), QSize(14, 12));
        QCOMPARE(large.deviceIndependentSize().toSize(), QSize(28, 24));
        QCOMPARE(Assets::pixmap(QStringLiteral("flower_icon"), QSize(14, 12)).cacheKey(),
                 small.cacheKey());
    }

    void selectedTabIconsDifferFromNormal() {
        for (const char *tab : {"main", "book", "chart", "user"}) {
            const QImage normal =
                Assets::pixmap(QStringLiteral("%1_item_normal").arg(QLatin1String(tab))).toImage();
            const QImage selected =
                Assets::pixmap(QStringLiteral("%1_item_selected").arg(QLatin1String(tab)))
                    .toImage();
            QVERIFY2(normal != selected, tab);
        }
    }
};

QTEST_MAIN(tst_Assets)
#include "tst_Assets.moc"
