// The driver script's grammar: what each verb takes, and that a script with any refused line is
// refused whole, before the client starts.

#include "Script.h"
#include "Tour.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ScriptStep::Verb)

class tst_Script : public QObject {
    Q_OBJECT

private slots:
    void acceptedLines_data();
    void acceptedLines();
    void refusedLines_data();
    void refusedLines();
    void programRefusesABadScriptBeforeRunningAnything();
    void programOpensAtTheSizeGiven_data();
    void programOpensAtTheSizeGiven();
    void everyTourChapterParses();
};

void tst_Script::acceptedLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<ScriptStep::Verb>("verb");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    using V = ScriptStep::Verb;
    QTest::newRow("tap") << "tap classBtn" << V::Tap << "classBtn"
                         << "" << -1;
    QTest::newRow("tap a part") << "tap segment 2" << V::Tap << "segment"
                                << "" << 2;
    QTest::newRow("type keeps inner and trailing blanks")
        << "type userNameTextField  138 0000 0001 " << V::Type << "userNameTextField"
        << "138 0000 0001 " << -1;
    QTest::newRow("type nothing clears") << "type field" << V::Type << "field"
                                         << "" << -1;
    QTest::newRow("key") << "key searchTextField Ctrl+Return" << V::Key << "searchTextField"
                         << "Ctrl+Return" << -1;
    QTest::newRow("row") << "row tableView 12" << V::Row << "tableView"
                         << "" << 12;
    QTest::newRow("back") << "back" << V::Back << ""
                          << "" << -1;
    QTest::newRow("tab last") << "tab 3" << V::Tab << ""
                              << "" << 3;
    QTest::newRow("tick") << "tick 61" << V::Tick << ""
                          << "" << 61;
    QTest::newRow("wait indented") << "   wait" << V::Wait << ""
                                   << "" << -1;
    QTest::newRow("shot with a blank in the path") << "shot out dir/a.PNG" << V::Shot << ""
                                                   << "out dir/a.PNG" << -1;
    QTest::newRow("expect") << "expect headTitleLabel 三年级1班" << V::Expect << "headTitleLabel"
                            << "三年级1班" << -1;
    QTest::newRow("windows line end") << "expect a b\r" << V::Expect << "a"
                                      << "b" << -1;
}

void tst_Script::acceptedLines() {
    QFETCH(QString, line);
    const ParsedScript parsed = Script::parse(line);
    QVERIFY2(parsed.errors.isEmpty(), qPrintable(parsed.errors.join(u'\n')));
    QCOMPARE(parsed.steps.size(), 1);
    const ScriptStep &step = parsed.steps.first();
    QTEST(step.verb, "verb");
    QTEST(step.name, "name");
    QTEST(step.text, "text");
    QTEST(step.number, "number");
}

void tst_Script::refusedLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");

    QTest::newRow("unknown verb") << "click classBtn"
                                  << "unknown verb \"click\"";
    QTest::newRow("tap without name") << "tap"
                                      << "needs a widget name";
    QTest::newRow("tap part not a number") << "tap segment one"
                                           << "part number";
    QTest::newRow("tap too many words") << "tap segment 1 2"
                                        << "part number";
    QTest::newRow("row without number") << "row tableView"
                                        << "row number";
    QTest::newRow("row negative") << "row tableView -1"
                                  << "row number";
    QTest::newRow("row full-width digit") << "row tableView １"
                                          << "row number";
    QTest::newRow("tab beyond the bar") << "tab 4"
                                        << "from 0 to 3";
    QTest::newRow("tick nothing") << "tick 0"
                                  << "seconds from 1";
    QTest::newRow("back with argument") << "back 2"
                                        << "takes no argument";
    QTest::newRow("shot not png") << "shot a.jpg"
                                  << "ending in .png";
    QTest::newRow("dump not json") << "dump a.txt"
                                   << "ending in .json";
    QTest::newRow("key without key") << "key field"
                                     << "one key";
    QTest::newRow("key unknown") << "key field Enterr"
                                 << "does not know the key \"Enterr\"";
    QTest::newRow("expect without name") << "expect"
                                         << "needs a widget name";
}

void tst_Script::refusedLines() {
    QFETCH(QString, line);
    QFETCH(QString, reason);
    const ParsedScript parsed =
        Script::parse(QStringLiteral("wait\n") + line + QStringLiteral("\nback"));
    QCOMPARE(parsed.errors.size(), 1);
    QVERIFY2(parsed.errors.first().startsWith(QStringLiteral("line 2: ")),
             qPrintable(parsed.errors.first()));
    QVERIFY2(parsed.errors.first().contains(reason), qPrintable(parsed.errors.first()));
}

void tst_Script::programRefusesABadScriptBeforeRunningAnything() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("first.png"));
    const QString script = dir.filePath(QStringLiteral("bad.txt"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("shot %1\n# comment\n\nswipe left\ntab 9\n").arg(picture).toUtf8());
    file.close();

    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TEACHER_CLIENT_CONFIG_DIR"), dir.path());
    client.setProcessEnvironment(env);
    client.start(QStringLiteral(TEACHER_CLIENT_BINARY), {QStringLiteral("--script"), script});
    QVERIFY(client.waitForFinished(60000));
    const QString errors = QString::fromUtf8(client.readAllStandardError());
    QCOMPARE(client.exitCode(), Script::UsageExitCode);
    QVERIFY2(errors.contains(QStringLiteral("line 4: unknown verb \"swipe\"")), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("line 5: tab")), qPrintable(errors));
    QVERIFY2(!QFile::exists(picture), "the step before the bad line ran");

    client.start(QStringLiteral(TEACHER_CLIENT_BINARY),
                 {QStringLiteral("--script"), dir.filePath(QStringLiteral("missing.txt"))});
    QVERIFY(client.waitForFinished(60000));
    QCOMPARE(client.exitCode(), Script::NoInputExitCode);
    QVERIFY(client.readAllStandardError().contains("missing.txt"));
}

void tst_Script::programOpensAtTheSizeGiven_data() {
    QTest::addColumn<QString>("size");
    QTest::addColumn<QSize>("picture"); // 0x0: refused before a window opens
    QTest::newRow("wider than the device's") << "1280x800" << QSize(1280, 800);
    QTest::newRow("too narrow") << "319x800" << QSize(0, 0);
    QTest::newRow("too high") << "1280x2401" << QSize(0, 0);
    QTest::newRow("no height") << "1280x" << QSize(0, 0);
}

void tst_Script::programOpensAtTheSizeGiven() {
    QFETCH(QString, size);
    QFETCH(QSize, picture);
    QTemporaryDir dir;
    qputenv("TEACHER_CLIENT_CONFIG_DIR", dir.path().toLocal8Bit());
    QProcess client;
    client.start(TEACHER_CLIENT_BINARY, {"--device", "ipad", "--size", size, "--hold-ms", "0",
                                         "--screenshot", dir.filePath("s.png")});
    QVERIFY(client.waitForFinished(60000));
    QCOMPARE(client.exitCode(), picture.isEmpty() ? 2 : 0);
    QCOMPARE(QImage(dir.filePath("s.png")).size(), picture);
}

// A chapter spliced wrongly reads as plain text; only the parser sees it. A file compiled in but
// left out of the chapter table would never run.
void tst_Script::everyTourChapterParses() {
    int number = 0;
    QStringList files;
    for (const Tour::Chapter &chapter : Tour::chapters()) {
        const ParsedScript parsed = Script::parse(
            Tour::expand(chapter, QStringLiteral("/tmp"), &number, QStringLiteral("1"),
                         QStringLiteral("p"), QStringLiteral("0")));
        QVERIFY2(parsed.errors.isEmpty() && !parsed.steps.isEmpty(),
                 qPrintable(chapter.file + QLatin1String(": ") +
                            parsed.errors.join(QLatin1String("; "))));
        files << QFileInfo(chapter.file).fileName();
    }
    QCOMPARE(files, QDir(QStringLiteral(":/tour")).entryList(QDir::Files, QDir::Name));
}

QTEST_MAIN(tst_Script)
#include "tst_Script.moc"
