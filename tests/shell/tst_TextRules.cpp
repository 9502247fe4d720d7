#include "TextRules.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The shared text, colour and device rules, row by row.
class tst_TextRules : public QObject {
    Q_OBJECT

    static QString fullWidth(const QString &asciiDigits) {
        QString out;
        for (QChar c : asciiDigits)
            out += QChar(0xFF10 + (c.unicode() - '0'));
        return out;
    }

private slots:
    void mobileNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("eleven digits starting with 1") << "13800138000" << true;
        QTest::newRow("any second digit") << "10000000000" << true;
        QTest::newRow("leading 2") << "23800138000" << false;
        QTest::newRow("ten digits") << "1380013800" << false;
        QTest::newRow("twelve digits") << "138001380001" << false;
        QTest::newRow("leading space") << " 13800138000" << false;
        QTest::newRow("trailing space") << "13800138000 " << false;
        QTest::newRow("trailing line break") << "13800138000\n" << false;
        QTest::newRow("inner dash") << "138-0013800" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("1 + ten full-width digits") << "1" + fullWidth("3800138000") << false;
        QTest::newRow("1 + ASCII digit + nine full-width") << "13" + fullWidth("800138000") << true;
        QTest::newRow("1 + ASCII digit + nine Arabic-Indic")
            << "13" + QString(9, QChar(0x0663)) << true;
        QTest::newRow("full-width leading 1") << fullWidth("1") + "3800138000" << false;
        QTest::newRow("superscript digits are not decimal")
            << "13" + QString(9, QChar(0x00B2)) << false;
    }

    void mobileNumber() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(TextRules::isMobileNumber(text), accepted);
    }

    void emoji_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("contains");
        QTest::newRow("plain text") << "abc 中文" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("U+263B alone") << QString(QChar(0x263B)) << false;
        QTest::newRow("U+2600 alone") << QString(QChar(0x2600)) << true;
        QTest::newRow("U+2100 lower edge") << QString(QChar(0x2100)) << true;
        QTest::newRow("U+27FF upper edge") << QString(QChar(0x27FF)) << true;
        QTest::newRow("U+20FF below the range") << QString(QChar(0x20FF)) << false;
        QTest::newRow("U+2800 above the range") << QString(QChar(0x2800)) << false;
        QTest::newRow("digit + keycap") << QStringLiteral("1\u20E3") << true;
        QTest::newRow("hash + keycap in text") << QStringLiteral("ab#\u20E3c") << true;
        QTest::newRow("letter + other combining mark") << QStringLiteral("e\u0301") << false;
        QTest::newRow("grinning face U+1F600") << QStringLiteral("hi 😀") << true;
        QTest::newRow("U+1D000 lower edge") << QString::fromUcs4(U"\U0001D000") << true;
        QTest::newRow("U+1F77F upper edge") << QString::fromUcs4(U"\U0001F77F") << true;
        QTest::newRow("U+1F780 above") << QString::fromUcs4(U"\U0001F780") << false;
        QTest::newRow("U+1CFFF below") << QString::fromUcs4(U"\U0001CFFF") << false;
        QTest::newRow("rolling on the floor U+1F923 is outside") << QStringLiteral("🤣") << false;
        QTest::newRow("flag pair") << QStringLiteral("🇨🇳") << true;
        QTest::newRow("ZWJ family") << QStringLiteral("👨‍👩‍👧") << true;
        QTest::newRow("heart + variation selector") << QStringLiteral("\u2764\uFE0F") << false;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << false;
        QTest::newRow("lone high surrogate then text") << QString(QChar(0xD83D)) + "a" << false;
        QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << false;
        QTest::newRow("copyright") << QStringLiteral("\u00A9") << true;
        QTest::newRow("registered") << QStringLiteral("\u00AE") << true;
        QTest::newRow("part alternation mark") << QStringLiteral("\u303D") << true;
        QTest::newRow("wavy dash") << QStringLiteral("\u3030") << true;
        QTest::newRow("heavy circle") << QStringLiteral("\u2B55") << true;
        QTest::newRow("squares") << QStringLiteral("\u2B1B\u2B1C") << true;
        QTest::newRow("star") << QStringLiteral("\u2B50") << true;
        QTest::newRow("arrows 2B05-2B07") << QStringLiteral("\u2B07") << true;
        QTest::newRow("U+2B08 outside") << QStringLiteral("\u2B08") << false;
        QTest::newRow("curved arrows 2934-2935") << QStringLiteral("\u2935") << true;
        QTest::newRow("U+2936 outside") << QStringLiteral("\u2936") << false;
        QTest::newRow("circled ideograph 3297-3299") << QStringLiteral("\u3299") << true;
        QTest::newRow("U+3296 outside") << QStringLiteral("\u3296") << false;
    }

    void emoji() {
        QFETCH(QString, text);
        QFETCH(bool, contains);
        QCOMPARE(TextRules::isContainsEmoji(text), contains);
    }

    void trimming_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("spacesOnly");
        QTest::newRow("two spaces around") << "  ab c  "
                                           << "ab c"
                                           << "ab c";
        QTest::newRow("tab before") << "\tab "
                                    << "ab"
                                    << "\tab";
        QTest::newRow("line breaks") << "\n ab\r\n"
                                     << "ab"
                                     << "\n ab\r\n";
        QTest::newRow("spaces only") << "    "
                                     << ""
                                     << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("ideographic space")
            << QStringLiteral("\u3000字\u3000") << "字" << QStringLiteral("\u3000字\u3000");
        QTest::newRow("no-break space and NEL")
            << QStringLiteral("\u00A0x\u0085") << "x" << QStringLiteral("\u00A0x\u0085");
        QTest::newRow("line separator")
            << QStringLiteral("\u2028x ") << "x" << QStringLiteral("\u2028x");
        QTest::newRow("zero-width space is not blank")
            << QStringLiteral("\u200Bx") << QStringLiteral("\u200Bx") << QStringLiteral("\u200Bx");
        QTest::newRow("inner spaces stay") << " a  b "
                                           << "a  b"
                                           << "a  b";
    }

    void trimming() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QFETCH(QString, spacesOnly);
        QCOMPARE(TextRules::trim(text), trimmed);
        QCOMPARE(TextRules::replaceHomeAndEndWhiteCharter(text), spacesOnly);
    }

    void hexColour_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        const QColor f0(0xF0, 0xF0, 0xF0);
        QTest::newRow("#F0F0F0") << "#F0F0F0" << f0;
        QTest::newRow("F0F0F0") << "F0F0F0" << f0;
        QTest::newRow("f0f0f0") << "f0f0f0" << f0;
        QTest::newRow("724e26") << "724e26" << QColor(0x72, 0x4e, 0x26);
        QTest::newRow("#FFF") << "#FFF" << QColor(255, 255, 255);
        QTest::newRow("1a2 doubles digits") << "1a2" << QColor(0x11, 0xAA, 0x22);
        QTest::newRow("80 grey") << "80" << QColor(0x80, 0x80, 0x80);
        QTest::newRow("FF000080 half red") << "FF000080" << QColor(255, 0, 0, 0x80);
        QTest::newRow("empty") << "" << QColor(0, 0, 0, 255);
        QTest::newRow("# alone") << "#" << QColor(0, 0, 0, 0);
        QTest::newRow("length counts non-digits") << "12zzzz" << QColor(0, 0, 0x12, 255);
        QTest::newRow("unreadable start, length 6") << "zz0000" << QColor(0, 0, 0, 255);
        QTest::newRow("length 4 is RRGGBBAA") << "ABCD" << QColor(0, 0, 0xAB, 0xCD);
        QTest::newRow("length 1 is RRGGBBAA") << "F" << QColor(0, 0, 0, 0x0F);
        QTest::newRow("too long saturates") << "123456789" << QColor(255, 255, 255, 255);
        QTest::newRow("second # is not a digit") << "##FFFFFF" << QColor(0, 0, 0, 0);
        QTest::newRow("non-ASCII") << QStringLiteral("ＦＦＦ") << QColor(0, 0, 0, 255);
    }

    void hexColour() {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        const QColor got = TextRules::colorWithHexString(text);
        QCOMPARE(got.rgba(), colour.rgba());
    }

    void hexIntegers() {
        QCOMPARE(TextRules::colorWithHex(0x724e26).rgba(), QColor(0x72, 0x4e, 0x26).rgba());
        QCOMPARE(TextRules::colorWithHex(0x000000FF).rgba(), QColor(0, 0, 255).rgba());
        QCOMPARE(TextRules::colorWithHex(0x102030, 0.5).alpha(), 128);
        QCOMPARE(TextRules::colorWithHex(0x102030, 0.5).red(), 0x10);
        // Every byte survives colorWithHex -> hexValue (no off-by-one from float truncation).
        for (quint32 v = 0; v < 256; ++v) {
            const quint32 rgb = (v << 16) | ((255 - v) << 8) | (v ^ 0x5A);
            QCOMPARE(TextRules::hexValue(TextRules::colorWithHex(rgb)), rgb);
        }
        QCOMPARE(TextRules::hexValue(QColor::fromRgbF(0.999f, 0.5f, 0.0f)), 0xFE7F00u);
        QCOMPARE(TextRules::hexValue(QColor::fromHsv(0, 255, 255)), 0xFF0000u);
    }

    void deviceClass_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("tablet");
        QTest::addColumn<int>("model");
        const int P = int(DeviceOrientation::Portrait);
        const int U = int(DeviceOrientation::PortraitUpsideDown);
        const int L = int(DeviceOrientation::LandscapeLeft);
        const int R = int(DeviceOrientation::LandscapeRight);
        const int X = int(DeviceOrientation::Unknown);
        QTest::newRow("320x480 portrait") << QSize(320, 480) << P << false << 0;
        QTest::newRow("320x568 portrait") << QSize(320, 568) << P << false << 1;
        QTest::newRow("320x500 upside down") << QSize(320, 500) << U << false << 1;
        QTest::newRow("375x667") << QSize(375, 667) << P << false << 2;
        QTest::newRow("414x736") << QSize(414, 736) << P << false << 3;
        QTest::newRow("480x320 landscape") << QSize(480, 320) << L << false << 0;
        QTest::newRow("568x320 landscape") << QSize(568, 320) << R << false << 1;
        QTest::newRow("667x375 landscape") << QSize(667, 375) << L << false << 2;
        QTest::newRow("736x414 landscape") << QSize(736, 414) << R << false << 3;
        QTest::newRow("portrait numbers in landscape") << QSize(375, 667) << L << false << 5;
        QTest::newRow("tablet wins over size") << QSize(320, 480) << P << true << 4;
        QTest::newRow("tablet wins over unknown") << QSize(768, 1024) << X << true << 4;
        QTest::newRow("unknown orientation") << QSize(375, 667) << X << false << 5;
        QTest::newRow("other width") << QSize(360, 640) << P << false << 5;
        QTest::newRow("empty size") << QSize() << P << false << 5;
    }

    void deviceClass() {
        QFETCH(QSize, size);
        QFETCH(int, orientation);
        QFETCH(bool, tablet);
        QFETCH(int, model);
        QCOMPARE(TextRules::deviceModel(size, DeviceOrientation(orientation), tablet), model);
    }

    void deviceProfiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("model");
        QTest::newRow("iphone4") << "iphone4" << QSize(320, 480) << 0;
        QTest::newRow("iphone5") << "iphone5" << QSize(320, 568) << 1;
        QTest::newRow("iphone6") << "iphone6" << QSize(375, 667) << 2;
        QTest::newRow("iphone6p") << "iphone6p" << QSize(414, 736) << 3;
        QTest::newRow("ipad") << "ipad" << QSize(768, 1024) << 4;
    }

    void deviceProfiles() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, model);
        const auto profile = DeviceProfile::fromName(name);
        QVERIFY(profile);
        QCOMPARE(profile->screenSize, size);
        QCOMPARE(profile->deviceModel(), model);
        DeviceProfile turned = *profile;
        turned.orientation = DeviceOrientation::LandscapeRight;
        QCOMPARE(turned.deviceModel(), model);

        const DeviceProfile saved = DeviceProfile::current();
        DeviceProfile::setCurrent(*profile);
        QCOMPARE(TextRules::deviceModel(), model);
        DeviceProfile::setCurrent(saved);
    }

    void unknownProfileNames() {
        QVERIFY(!DeviceProfile::fromName("iphone7"));
        QVERIFY(!DeviceProfile::fromName(""));
        QVERIFY(!DeviceProfile::fromName("IPHONE6"));
        QCOMPARE(DeviceProfile::current().screenSize, QSize(375, 667));
    }

    void accountFields_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("phone empty") << "phone"
                                     << ""
                                     << ""
                                     << "请输入手机号";
        QTest::newRow("phone five digits") << "phone"
                                           << "12345"
                                           << ""
                                           << "请输入正确的手机号";
        QTest::newRow("phone with space") << "phone"
                                          << " 13800138000"
                                          << ""
                                          << "请输入正确的手机号";
        QTest::newRow("phone ok") << "phone"
                                  << "13800138000"
                                  << ""
                                  << "";
        QTest::newRow("code empty") << "code"
                                    << ""
                                    << ""
                                    << "请输入验证码";
        QTest::newRow("code anything") << "code"
                                       << "x 1"
                                       << ""
                                       << "";
        QTest::newRow("old empty") << "old"
                                   << ""
                                   << ""
                                   << "请确认旧密码";
        QTest::newRow("old one char") << "old"
                                      << "1"
                                      << ""
                                      << "";
        QTest::newRow("new empty") << "new"
                                   << ""
                                   << ""
                                   << "请输入新密码";
        QTest::newRow("new five") << "new"
                                  << "12345"
                                  << ""
                                  << "请输入6-20位密码";
        QTest::newRow("new six") << "new"
                                 << "123456"
                                 << ""
                                 << "";
        QTest::newRow("new 21 passes the check") << "new" << QString(21, 'a') << ""
                                                 << "";
        QTest::newRow("new: emoji count two units") << "new"
                                                    << "😀😀😀"
                                                    << ""
                                                    << "";
        QTest::newRow("confirm empty") << "confirm"
                                       << "123456"
                                       << ""
                                       << "请确认新密码";
        QTest::newRow("confirm differs") << "confirm"
                                         << "123456"
                                         << "123457"
                                         << "两次密码不一致";
        QTest::newRow("confirm differs by case") << "confirm"
                                                 << "abcdef"
                                                 << "abcdeF"
                                                 << "两次密码不一致";
        QTest::newRow("confirm trailing space") << "confirm"
                                                << "abcdef"
                                                << "abcdef "
                                                << "两次密码不一致";
        QTest::newRow("confirm equal") << "confirm"
                                       << "abcdef"
                                       << "abcdef"
                                       << "";
    }

    void accountFields() {
        QFETCH(QString, rule);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, message);
        std::optional<QString> got;
        if (rule == "phone")
            got = TextRules::checkPhone(first);
        else if (rule == "code")
            got = TextRules::checkVerificationCode(first);
        else if (rule == "old")
            got = TextRules::checkOldPassword(first);
        else if (rule == "new")
            got = TextRules::checkNewPassword(first);
        else
            got = TextRules::checkConfirmation(first, second);
        QCOMPARE(got.value_or(QString()), message);
    }

    void passwordCut_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("19 stay") << QString(19, 'a') << QString(19, 'a');
        QTest::newRow("20 stay") << QString(20, 'a') << QString(20, 'a');
        QTest::newRow("21st typed") << QString(20, 'a') + "b" << QString(20, 'a');
        QTest::newRow("pasted 40") << QString(40, 'x') << QString(20, 'x');
        QTest::newRow("pair across the limit")
            << QString(19, 'a') + QStringLiteral("😀") << QString(19, 'a');
        QTest::newRow("pair inside the limit")
            << QString(18, 'a') + QStringLiteral("😀b") << QString(18, 'a') + QStringLiteral("😀");
    }

    void passwordCut() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(TextRules::cutToMaxPasswordLength(typed), kept);
        QLineEdit field;
        field.setText(typed);
        TextRules::cutFieldToMaxPasswordLength(&field);
        QCOMPARE(field.text(), kept);
    }

    void typingTheTwentyFirstCharacterLeavesTwenty() {
        QLineEdit field;
        connect(&field, &QLineEdit::textChanged, &field,
                [&field] { TextRules::cutFieldToMaxPasswordLength(&field); });
        QTest::keyClicks(&field, QString(25, 'k'));
        QCOMPARE(field.text(), QString(20, 'k'));
        TextRules::cutFieldToMaxPasswordLength(nullptr);
    }

    void textSize() {
        QFont font;
        font.setPixelSize(15);
        const QFontMetricsF fm(font);
        const QString text = QStringLiteral("确定 OK");

        const QSizeF one = TextRules::textSizeWithFont(text, font, QSizeF(0, 0));
        QVERIFY(qAbs(one.width() - fm.horizontalAdvance(text)) < 2);
        QVERIFY(one.height() >= fm.height() - 1 && one.height() < 2 * fm.height());

        // Wide enough: one line, same width as unconstrained.
        const QSizeF wide = TextRules::textSizeWithFont(text, font, QSizeF(1000, 21));
        QCOMPARE(wide.width(), one.width());

        const QString longText = QString(60, QChar(0x5B57));
        // Unlimited: one line, however long.
        const QSizeF longOne = TextRules::textSizeWithFont(longText, font, QSizeF(0, 0));
        QCOMPARE(longOne.height(), one.height());
        QVERIFY(longOne.width() > 10 * one.width());
        const QSizeF wrapped = TextRules::textSizeWithFont(longText, font, QSizeF(100, 0));
        QVERIFY(wrapped.width() <= 100);
        QVERIFY(wrapped.height() > 3 * longOne.height());

        // A height limit cuts after the last whole line that fits.
        const qreal lineHeight = longOne.height();
        const QSizeF cut =
            TextRules::textSizeWithFont(longText, font, QSizeF(100, lineHeight * 2.5));
        QCOMPARE(cut.height(), 2 * lineHeight);
        QCOMPARE(cut.width(), wrapped.width());
        // ...but at least one line even when none fits.
        QVERIFY(TextRules::textSizeWithFont(longText, font, QSizeF(100, 1)).height() > 1);

        // The line-break mode changes nothing.
        QCOMPARE(TextRules::textSizeWithFont(longText, font, QSizeF(100, 0), Qt::ElideRight),
                 wrapped);
        QCOMPARE(TextRules::textSizeWithFont(QString(), font, QSizeF(0, 0)).width(), 0.0);
    }

    void selectedNormalMarksTheButton() {
        QPushButton button("优秀");
        button.resize(80, 30);
        button.show();
        TextRules::setSelectedNormal(&button, true);
        QVERIFY(button.isChecked());
        QCOMPARE(TextRules::selectedNormalBorderColor(&button), QColor(0xE8, 0x1D, 0x1D));
        TextRules::setSelectedNormal(&button, false);
        QVERIFY(!button.isChecked());
        QCOMPARE(TextRules::selectedNormalBorderColor(&button), QColor(Qt::lightGray));
        // Repeated calls reuse one border, which never takes the clicks.
        TextRules::setSelectedNormal(&button, true);
        const auto borders = button.findChildren<QWidget *>("selectedNormalBorder");
        QCOMPARE(borders.size(), 1);
        QVERIFY(borders.first()->testAttribute(Qt::WA_TransparentForMouseEvents));
        button.resize(120, 40);
        QCOMPARE(borders.first()->size(), QSize(120, 40));
        TextRules::setSelectedNormal(nullptr, true);
    }
};

QTEST_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
