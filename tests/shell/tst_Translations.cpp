// The English translation is complete and well-formed, the program's shown texts all go through
// it, and switching the language reaches widgets and Qt's own texts at once.

#include "Language.h"
#include "SettingsStore.h"

#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QRegularExpression &han() {
    static const QRegularExpression pattern(QStringLiteral("\\p{Han}"));
    return pattern;
}

QStringList placeholders(const QString &text) {
    static const QRegularExpression arg(QStringLiteral("%(?:n|L?[1-9])"));
    QStringList found;
    for (auto it = arg.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

// A widget that counts the language changes it is told of.
class Listener : public QLabel {
public:
    int changes = 0;

protected:
    void changeEvent(QEvent *event) override {
        if (event->type() == QEvent::LanguageChange)
            ++changes;
        QLabel::changeEvent(event);
    }
};

} // namespace

class tst_Translations : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_config.path().toUtf8());
        SettingsStore::reset();
    }

    // Every message translated, no Chinese left in English, the same arguments on both sides.
    void englishIsCompleteAndKeepsEveryArgument() {
        QFile file(QStringLiteral(TEACHER_SOURCE_DIR "/translations/teacher-client_en.ts"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QXmlStreamReader xml(&file);
        QStringList problems;
        int messages = 0;
        QString context;
        QString source;
        QStringList forms;
        bool unfinished = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"name") {
                context = xml.readElementText();
            } else if (xml.isStartElement() && xml.name() == u"message") {
                source.clear();
                forms.clear();
                unfinished = false;
            } else if (xml.isStartElement() && xml.name() == u"source") {
                source = xml.readElementText();
            } else if (xml.isStartElement() && xml.name() == u"translation") {
                // type: unfinished, vanished or obsolete. Plurals come as <numerusform>s.
                unfinished = !xml.attributes().value(QLatin1String("type")).isEmpty();
                QString text;
                while (!xml.atEnd() && !(xml.isEndElement() && xml.name() == u"translation")) {
                    xml.readNext();
                    if (xml.isCharacters())
                        text += xml.text();
                    else if (xml.isEndElement() && xml.name() == u"numerusform")
                        forms << std::exchange(text, QString());
                }
                if (forms.isEmpty())
                    forms << text;
            } else if (xml.isEndElement() && xml.name() == u"message") {
                ++messages;
                const QString where = context + QStringLiteral(": ") + source;
                for (const QString &form : std::as_const(forms)) {
                    if (unfinished || form.trimmed().isEmpty())
                        problems << QStringLiteral("unfinished: ") + where;
                    else if (han().match(form).hasMatch() && form != u"中文" &&
                             !form.contains(u"语言 / Language"))
                        problems << QStringLiteral("Chinese in English: ") + where;
                    else if (placeholders(form) != placeholders(source) &&
                             !(placeholders(source).contains(u"%n") &&
                               !placeholders(form).contains(u"%n")))
                        problems << QStringLiteral("arguments differ: ") + where;
                }
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages > 100);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 20).join(u'\n')));
    }

    // A Chinese text in the code that is not handed to the translation reaches the teacher in
    // Chinese whatever the language. Texts that are never translated say so with "notr".
    void shownTextsGoThroughTheTranslation() {
        static const QRegularExpression literal(QStringLiteral("\"[^\"\\n]*\\p{Han}[^\"\\n]*\""));
        static const QRegularExpression call(QStringLiteral(
            "\\b(tr|translate|QT_TRANSLATE_NOOP|QT_TR_NOOP|QT_TRANSLATE_N_NOOP)\\s*\\("));
        // Log lines are for whoever reads the journal, in the words they were written in.
        static const QRegularExpression logLine(
            QStringLiteral("\\bq(C)?(Debug|Info|Warning|Critical)\\b"));
        QStringList bare;
        for (const char *folder : {"/src/shell", "/src/screens", "/src/service"}) {
            QDirIterator it(QStringLiteral(TEACHER_SOURCE_DIR) + QLatin1String(folder),
                            {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    QString code = lines[i];
                    if (const qsizetype comment = code.indexOf(QLatin1String("//"));
                        comment >= 0 && !code.left(comment).contains(u'"'))
                        code.truncate(comment);
                    const QRegularExpressionMatch text = literal.match(code);
                    if (!text.hasMatch() || lines[i].contains(u"notr") ||
                        logLine.match(code).hasMatch())
                        continue;
                    // Handed over on this line, or the text opens a line that continues a call
                    // begun on one of the two before it.
                    const QString before = code.left(text.capturedStart());
                    const QString above =
                        (i >= 2 ? lines[i - 2] : QString()) + (i >= 1 ? lines[i - 1] : QString());
                    if (!call.match(before).hasMatch() &&
                        !(before.trimmed().isEmpty() && call.match(above).hasMatch()))
                        bare << QStringLiteral("%1:%2: %3")
                                    .arg(it.fileInfo().fileName())
                                    .arg(i + 1)
                                    .arg(lines[i].trimmed());
                }
            }
        }
        QVERIFY2(bare.isEmpty(), qPrintable(bare.mid(0, 30).join(u'\n')));
    }

    // The chosen language is remembered, every widget hears of a change at once, and Qt's own
    // texts (its dialogs' buttons) follow: Chinese from Qt's translations, English as written.
    void switchingReachesWidgetsAndQtsOwnTexts() {
        Listener widget;
        Language::choose(Language::Choice::English);
        QCOMPARE(SettingsStore::settings().value(Language::SettingsKey).toString(), u"en");
        QCOMPARE(Language::spoken(), Language::Spoken::English);
        QTRY_VERIFY(widget.changes > 0);
        QVERIFY(Language::programTranslator());
        QCOMPARE(QLocale().language(), QLocale::English);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel");

        widget.changes = 0;
        Language::choose(Language::Choice::Chinese);
        QTRY_VERIFY(widget.changes > 0);
        QVERIFY(!Language::programTranslator());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"取消");

        // --lang outranks the choice for this run and is not remembered.
        Language::setOverride(Language::Spoken::English);
        Language::apply();
        QCOMPARE(Language::spoken(), Language::Spoken::English);
        QCOMPARE(Language::chosen(), Language::Choice::Chinese);
        Language::setOverride(std::nullopt);

        Language::choose(Language::Choice::System);
        QVERIFY(!SettingsStore::settings().contains(Language::SettingsKey));
        QCOMPARE(Language::forLocale(QLocale(QLocale::Chinese, QLocale::Taiwan)),
                 Language::Spoken::Chinese);
        QCOMPARE(Language::forLocale(QLocale(QLocale::French)), Language::Spoken::English);
    }
};

QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
