#include "Export.h"

#include <QImage>
#include <QtTest> // with QtCore

using Export::Format;

// Writing a table out: the CSV a spreadsheet opens safely, the pages of a PDF, a picture at twice
// the screen's scale, the suggested name, and no file at all when a write cannot finish.
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

private slots:
    void csvFieldDisarmsFormulasAndQuotes_data() {
        QTest::addColumn<QString>("cell");
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
            {"-3", "'-3"},
            {"@SUM(A1)", "'@SUM(A1)"},
            {"\tx", "'\tx"},
            {"\rx", "\"'\rx\""},
            {"a=b-c", "a=b-c"},
            {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""}};
        for (const auto &[cell, field] : rows)
            QTest::newRow(cell) << QString::fromUtf8(cell) << QString::fromUtf8(field);
    }

    void csvFieldDisarmsFormulasAndQuotes() {
        QFETCH(QString, cell);
        QFETCH(QString, field);
        QCOMPARE(Export::csvField(cell), field);
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
        if (views)
            doc.views[0].rows.resize(rows, {"x", "1"});
        const QString path = rows == 2 ? old + "/out.file" : old;
        const Export::Result result = Export::write(Format(format), path, doc);
        QVERIFY(!result.ok && !result.error.isEmpty());
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
    }

    void suggestedNameSaysWhatAndWhen() {
        QFETCH(QStringList, parts);
        QFETCH(int, format);
        QFETCH(QString, name);
        QCOMPARE(Export::suggestedFileName(parts, QDate(2026, 12, 7), Format(format)), name);
    }
};

QTEST_MAIN(tst_Export)
#include "tst_Export.moc"
