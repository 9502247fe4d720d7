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
        QTest::newRow("leading space") << " 13800138000" << false;
        QTest::newRow("trailing space") << "13800138000 " << false;
        QTest::newRow("inner dash") << "138-0013800" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("1 + ten full-width digits") << "1" + fullWidth("3800138000") << false;
        QTest::newRow("1 + ASCII digit + nine full-width") << "13" + fullWidth("800138000") << true;
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
        QTest::newRow("U+2100 lower edge") << QString(QChar(0x2100)) << true;
        QTest::newRow("U+27FF upper edge") << QString(QChar(0x27FF)) << true;
        QTest::newRow("U+20FF below the range") << QString(QChar(0x20FF)) << false;
        QTest::newRow("U+2800 above the range") << QString(QChar(0x2800)) << false;
        QTest::newRow("digit + keycap") << QStringLiteral("1\u20E3") << true;
        QTest::newRow("grinning face U+1F600") << QStringLiteral("hi 😀") << true;
        QTest::newRow("U+1D000 lower edge") << QString::fromUcs4(U"\U0001D000") << true;
        QTest::newRow("U+1F77F upper edge") << QString::fromUcs4(U"\U0001F77F") << true;
        QTest::newRow("U+1F780 above") << QString::fromUcs4(U"\U0001F780") << false;
        QTest::newRow("rolling on the floor U+1F923 is outside") << QStringLiteral("🤣") << false;
        QTest::newRow("flag pair") << QStringLiteral("🇨🇳") << true;
        QTest::newRow("ZWJ family") << QStringLiteral("👨‍👩‍👧") << true;
        QTest::newRow("heart + variation selector") << QStringLiteral("\u2764\uFE0F") << false;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << false;
        QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << false;
        QTest::newRow("copyright") << QStringLiteral("\u00A9") << true;
        QTest::newRow("part alternation mark") << QStringLiteral("\u303D") << true;
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
        const auto row = [](const char *name, const QString &text, const QString &trimmed,
                            const QString &spacesOnly) {
            QTest::newRow(name) << text << trimmed << spacesOnly;
        };
        row("two spaces around", "  ab c  ", "ab c", "ab c");
        row("tab before", "\tab ", "ab", "\tab");
        row("line breaks", "\n ab\r\n", "ab", "\n ab\r\n");
        row("spaces only", "    ", "", "");
        row("ideographic space", QStringLiteral("\u3000字\u3000"), "字",
            QStringLiteral("\u3000字\u3000"));
        row("line separator", QStringLiteral("\u2028x "), "x", QStringLiteral("\u2028x"));
        row("zero-width space is not blank", QStringLiteral("\u200Bx"), QStringLiteral("\u200Bx"),
            QStringLiteral("\u200Bx"));
        row("inner spaces stay", " a  b ", "a  b", "a  b");
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
        QTest::newRow("F0F0F0") << "F0F0F0" << f0;
        QTest::newRow("724e26") << "724e26" << QColor(0x72, 0x4e, 0x26);
        QTest::newRow("1a2 doubles digits") << "1a2" << QColor(0x11, 0xAA, 0x22);
        QTest::newRow("80 grey") << "80" << QColor(0x80, 0x80, 0x80);
        QTest::newRow("FF000080 half red") << "FF000080" << QColor(255, 0, 0, 0x80);
        QTest::newRow("empty") << "" << QColor(0, 0, 0, 255);
        QTest::newRow("# alone") << "#" << QColor(0, 0, 0, 0);
        QTest::newRow("length counts non-digits") << "12zzzz" << QColor(0, 0, 0x12, 255);
        QTest::newRow("unreadable start, length 6") << "zz0000" << QColor(0, 0, 0, 255);
        QTest::newRow("length 4 is RRGGBBAA") << "ABCD" << QColor(0, 0, 0xAB, 0xCD);
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

    void accountFields_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message"); // empty: accepted
        const auto row = [](const char *name, const char *rule, const QString &first,
                            const QString &second, const char *message) {
            QTest::newRow(name) << rule << first << second << QString::fromUtf8(message);
        };
        row("phone empty", "phone", "", "", "请输入手机号");
        row("phone five digits", "phone", "12345", "", "请输入正确的手机号");
        row("phone with space", "phone", " 13800138000", "", "请输入正确的手机号");
        row("phone ok", "phone", "13800138000", "", "");
        row("code empty", "code", "", "", "请输入验证码");
        row("code anything", "code", "x 1", "", "");
        row("old empty", "old", "", "", "请确认旧密码");
        row("old one char", "old", "1", "", "");
        row("new empty", "new", "", "", "请输入新密码");
        row("new five", "new", "12345", "", "请输入6-20位密码");
        row("new six", "new", "123456", "", "");
        row("new 21 passes the check", "new", QString(21, 'a'), "", "");
        row("confirm empty", "confirm", "123456", "", "请确认新密码");
        row("confirm differs by case", "confirm", "abcdef", "abcdeF", "两次密码不一致");
        row("confirm trailing space", "confirm", "abcdef", "abcdef ", "两次密码不一致");
        row("confirm equal", "confirm", "abcdef", "abcdef", "");
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
};

QTEST_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
