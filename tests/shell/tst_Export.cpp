#include "Export.h"
#include "ExportActions.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPdfWriter>
#include <QtTest> // with QtCore

using Export::Format;

// Writing a table out: the CSV a spreadsheet opens safely, the pages of a PDF, a picture at twice
// the screen's scale, the suggested name, and no file at all when a write cannot finish; the
// dialogs, which go with their screen (a sign-out) and write what was shown.
class tst_Export : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static ExportDocument document(int views) {
        ExportDocument doc;
        for (int i = 0; i < views; ++i) {
            ExportTable table;
            table.title = QStringLiteral("报表 · %1").arg(i);
            table.subtitles = {QStringLiteral("学期：上")};
            table.headers = {QStringLiteral("名称"), QStringLiteral("平均小花")};
            table.rows = {{QStringLiteral("一班"), QStringLiteral("4.5")}, {"二班", "9"}};
            table.bars = {4.5, 9};
            doc.views.append(table);
        }
        return doc;
    }

    static QByteArray read(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // "/Type /Pages" is the page tree, not a page.
    static qsizetype pages(const QByteArray &pdf) {
        return QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page(?!s)"));
    }

private slots:
    void csvFieldDisarmsFormulasAndQuotes_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("asText"); // in a column kept as text (the roster's phone)
        QTest::addColumn<QString>("field");
        // Hostile names: each row is named by its cell.
        const std::pair<const char *, const char *> rows[] = {
            {"王小明", "王小明"},
            {"", ""},
            {"王,明", "\"王,明\""},
            {"a\nb", "\"a\nb\""},
            {"say \"hi\"", "\"say \"\"hi\"\"\""},
            {"a\rb", "\"a\rb\""},
            {"=1+2", "'=1+2"},
            {"+86 138", "'+86 138"},
            {"-3.5", "-3.5"},
            {"-3-1", "'-3-1"},
            {"@SUM(A1)", "'@SUM(A1)"},
            {"＝1+2", "'＝1+2"},
            {"－3", "'－3"},
            {"\tx", "'\tx"},
            {"\rx", "\"'\rx\""},
            {"a=b-c", "a=b-c"},
            {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""}};
        for (const auto &[cell, field] : rows)
            QTest::newRow(cell) << QString::fromUtf8(cell) << false << QString::fromUtf8(field);
        QTest::newRow("phone as text") << "013800138000" << true << "'013800138000";
        QTest::newRow("formula as text") << "=1" << true << "'=1";
        QTest::newRow("empty as text") << "" << true << "";
    }

    void csvFieldDisarmsFormulasAndQuotes() {
        QFETCH(QString, cell);
        QFETCH(bool, asText);
        QFETCH(QString, field);
        QCOMPARE(Export::csvField(cell, asText), field);
    }

    void pdfHasOnePagePerView() {
        const int views = 3;
        const QString path = m_dir.filePath("report.pdf");
        QVERIFY(Export::write(Format::Pdf, path, document(views)).ok);
        QVERIFY(read(path).startsWith("%PDF"));
        QCOMPARE(pages(read(path)), views);
    }

    // Every row of every view is on a page, whole: a class of 60 shrunk onto one page, a longer
    // list over several; and the PDF has those pages.
    void pagesHoldEveryRow_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("a class of 60") << 60;
        QTest::newRow("a list of 400") << 400;
    }
    void pagesHoldEveryRow() {
        QFETCH(int, rows);
        ExportDocument doc = document(2);
        doc.views[0].rows.resize(rows, {"王小明", "1"});
        QVERIFY(Export::write(Format::Pdf, m_dir.filePath("rows.pdf"), doc).ok);
        QPdfWriter a4(m_dir.filePath("a4.pdf")); // what write() draws on
        a4.setPageSize(QPageSize(QPageSize::A4));
        const auto plans = Export::planPages(doc.views, QSizeF(a4.width(), a4.height()));
        QList<int> next = {0, 0};
        for (const Export::PagePlan &plan : plans) {
            QCOMPARE(plan.firstRow, next[plan.view]);
            next[plan.view] += plan.rowCount;
            QVERIFY(plan.height <= a4.height());
        }
        QCOMPARE(next, QList<int>({rows, 2}));
        QCOMPARE(plans.size() == 2, rows == 60);
        QCOMPARE(pages(read(m_dir.filePath("rows.pdf"))), plans.size());
    }

    void pictureIsTwiceTheScreen() {
        ExportDocument doc = document(2);
        doc.screenWidth = 320;
        doc.current = 1;
        const QString path = m_dir.filePath("report.png");
        QVERIFY(Export::write(Format::Png, path, doc).ok);
        const QImage picture(path);
        QCOMPARE(picture.width(), 640);
        QCOMPARE(picture.height(), Export::image(doc.views[1], 320).height());
    }

    // Tests run as root, whom no folder refuses: a "folder" that is a file refuses everyone. A
    // picture too tall to draw and a PDF of nothing fail while writing: the old file stays whole.
    void aFailedWriteLeavesNoFile_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("views");
        QTest::addColumn<int>("rows");
        QTest::newRow("csv, refused folder") << int(Format::Csv) << 1 << 2;
        QTest::newRow("png, refused folder") << int(Format::Png) << 1 << 2;
        QTest::newRow("pdf, refused folder") << int(Format::Pdf) << 1 << 2;
        QTest::newRow("png too tall") << int(Format::Png) << 1 << 20000;
        QTest::newRow("png past the pixels") << int(Format::Png) << 1 << 400;
        QTest::newRow("pdf of nothing") << int(Format::Pdf) << 0 << 0;
    }

    void aFailedWriteLeavesNoFile() {
        QFETCH(int, format);
        QFETCH(int, views);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString old = dir.filePath("old");
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old") == 3);
        oldFile.close();
        ExportDocument doc = document(views);
        doc.screenWidth = 1920;
        if (views)
            doc.views[0].rows.resize(rows, {"x", "1"});
        const QString path = rows == 2 ? old + "/out.file" : old;
        const Export::Result result = Export::write(Format(format), path, doc);
        QVERIFY(!result.ok && !result.error.isEmpty());
        if (rows > 2) // says what to do instead
            QCOMPARE(result.error, Export::tooLongForPictureText());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old"});
        QCOMPARE(read(old), QByteArray("old"));
    }

    void suggestedNameSaysWhatAndWhen_data() {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("report") << QStringList{"报表", "年级", "2026-2027学年上学期"}
                                << int(Format::Csv)
                                << "报表-年级-2026-2027学年上学期-2026-12-07.csv";
        QTest::newRow("refused characters")
            << QStringList{"三/二班:A*?", " "} << int(Format::Png) << "三-二班-A---2026-12-07.png";
        QTest::newRow("beyond 16 bits")
            << QStringList{"三班😀", "𠀀"} << int(Format::Pdf) << "三班😀-𠀀-2026-12-07.pdf";
        QTest::newRow("cut between characters")
            << QStringList{QString(39, 'a') + "😀"} << int(Format::Csv)
            << QString(39, 'a') + "-2026-12-07.csv";
        QTest::newRow("hidden") << QStringList{".班", "x"} << int(Format::Csv)
                                << "班-x-2026-12-07.csv";
    }

    void suggestedNameSaysWhatAndWhen() {
        QFETCH(QStringList, parts);
        QFETCH(int, format);
        QFETCH(QString, name);
        QCOMPARE(Export::suggestedFileName(parts, QDate(2026, 12, 7), Format(format)), name);
    }

    // Neither dialog is freed twice: it goes with its screen (a sign-out), nothing written.
    void screenGoesWhileADialogIsOpen_data() {
        QTest::addColumn<bool>("print");
        QTest::newRow("print") << true;
        QTest::newRow("save") << false;
    }
    void screenGoesWhileADialogIsOpen() {
        QFETCH(bool, print);
        QPointer<QWidget> screen = new QWidget;
        auto *actions = new ExportActions(screen, [] { return document(1); });
        QTimer::singleShot(200, [screen] { delete screen.data(); });
        print ? actions->print() : actions->chooseFileAndExport(Format::Csv);
        QVERIFY(!screen);
    }

    // The file holds the rows as they were when the dialog opened, though they changed since.
    void theFileHoldsWhatWasShown() {
        QString first = QStringLiteral("一班");
        QWidget screen;
        ExportActions actions(&screen, [&first] {
            ExportDocument doc = document(1);
            doc.views[0].rows[0][0] = first;
            return doc;
        });
        const QString path = m_dir.filePath("shown.csv");
        QTimer::singleShot(200, [&first, path] {
            first = QStringLiteral("变了");
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        actions.chooseFileAndExport(Format::Csv);
        QVERIFY(read(path).contains("\r\n一班,4.5\r\n"));
    }
};

QTEST_MAIN(tst_Export)
#include "tst_Export.moc"
