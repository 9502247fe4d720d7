#include "Export.h"
#include "ExportActions.h"
#include "OverlayHost.h"
#include "Toast.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
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
    QWidget m_window; // where the toasts show
    int m_version = 0;

    // A screen with its export actions, as a screen has them.
    struct Screen {
        QPointer<QWidget> widget = new QWidget;
        ExportActions *actions;
        explicit Screen(ExportActions::Source source)
            : actions(new ExportActions(widget, std::move(source))) {}
        ~Screen() { delete widget.data(); }
    };

    ExportDocument shown() const {
        ExportDocument doc;
        ExportTable table;
        table.headers = {QStringLiteral("版本")};
        table.rows = {{QString::number(m_version)}};
        doc.views = {table};
        return doc;
    }

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

private slots:
    void initTestCase() {
        m_window.show();
        OverlayHost::setHost(&m_window);
    }

    void csvFieldDisarmsFormulasAndQuotes_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("asText"); // a column kept as text (the roster's phone)
        QTest::addColumn<QString>("field");
        // Hostile names: each row is named by its cell.
        const std::tuple<const char *, bool, const char *> rows[] = {
            {"王小明", false, "王小明"},
            {"", false, ""},
            {"王,明", false, "\"王,明\""},
            {"a\nb", false, "\"a\nb\""},
            {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
            {"a\rb", false, "\"a\rb\""},
            {"=1+2", false, "'=1+2"},
            {"+86 138", false, "'+86 138"},
            {"-3", false, "-3"},
            {"-3.25", false, "-3.25"},
            {"-3-1", false, "'-3-1"},
            {"-", false, "'-"},
            {"@SUM(A1)", false, "'@SUM(A1)"},
            {"＝1+2", false, "'＝1+2"},
            {"＋86", false, "'＋86"},
            {"－3", false, "'－3"},
            {"＠SUM(A1)", false, "'＠SUM(A1)"},
            {"\tx", false, "'\tx"},
            {"\rx", false, "\"'\rx\""},
            {"a=b-c", false, "a=b-c"},
            {"=HYPERLINK(\"http://x\",\"y\")", false,
             "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
            {"13800138000", true, "'13800138000"},
            {"0571-8888", true, "'0571-8888"},
            {"=1", true, "'=1"},
            {" ", true, "' "}};
        for (const auto &[cell, asText, field] : rows)
            QTest::addRow("%s%s", cell, asText ? " as text" : "")
                << QString::fromUtf8(cell) << asText << QString::fromUtf8(field);
        QTest::newRow("empty as text") << QString() << true << QString();
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
        const QByteArray bytes = read(path);
        QVERIFY(bytes.startsWith("%PDF"));
        // "/Type /Pages" is the page tree, not a page.
        QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page(?!s)")),
                 views);
    }

    // Every row of every view is on a page, whole: a class of 60 shrunk onto one, a longer list
    // over as many as it needs; and the PDF has those pages.
    void pagesHoldEveryRow_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("onePage");
        QTest::newRow("a class of 60") << 60 << true;
        QTest::newRow("a list of 400") << 400 << false;
    }
    void pagesHoldEveryRow() {
        QFETCH(int, rows);
        QFETCH(bool, onePage);
        ExportDocument doc = document(2);
        doc.views[0].rows.resize(rows, {"王小明", "1"});
        QByteArray pdf;
        QBuffer buffer(&pdf);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        const QList<Export::PagePlan> plans =
            Export::planPages(doc.views, QSizeF(writer.width(), writer.height()));
        QList<int> next = {0, 0};
        for (const Export::PagePlan &plan : plans) {
            QCOMPARE(plan.firstRow, next[plan.view]);
            next[plan.view] += plan.rowCount;
            QVERIFY(plan.height <= writer.height());
        }
        QCOMPARE(next, QList<int>({rows, 2}));
        QCOMPARE(plans.size() == 2, onePage); // and one for the other view
        QVERIFY(Export::paintPages(&writer, doc.views));
        QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page(?!s)")),
                 plans.size());
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

    // Neither dialog is freed twice: it goes with the screen, and nothing is written.
    void screenGoesWhileADialogIsOpen_data() {
        QTest::addColumn<bool>("print");
        QTest::newRow("print") << true;
        QTest::newRow("save") << false;
    }
    void screenGoesWhileADialogIsOpen() {
        QFETCH(bool, print);
        Screen screen([this] { return shown(); });
        QTimer::singleShot(200, [&screen] { delete screen.widget.data(); });
        print ? screen.actions->print() : screen.actions->chooseFileAndExport(Export::Format::Csv);
        QVERIFY(!screen.widget);
    }

    // The file holds the rows as they were when the dialog opened, though they changed since.
    void theFileHoldsWhatWasShown() {
        m_version = 1;
        Screen screen([this] { return shown(); });
        const QString path = m_dir.filePath("shown.csv");
        QTimer::singleShot(200, [this, path] {
            m_version = 2;
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        screen.actions->chooseFileAndExport(Export::Format::Csv);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF版本\r\n1\r\n"));
        QCOMPARE(Toast::currentText(), QStringLiteral("已导出 shown.csv"));
    }
};

QTEST_MAIN(tst_Export)
#include "tst_Export.moc"
