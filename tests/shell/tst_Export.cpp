#include "Export.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

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

private slots:
    void csvFieldDisarmsFormulasAndQuotes_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain name") << "王小明"
                                    << "王小明";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "王,明"
                               << "\"王,明\"";
        QTest::newRow("quotes doubled") << "say \"hi\""
                                        << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed") << "a\nb"
                                   << "\"a\nb\"";
        QTest::newRow("carriage return inside") << "a\rb"
                                                << "\"a\rb\"";
        QTest::newRow("equals") << "=1+2"
                                << "'=1+2";
        QTest::newRow("plus") << "+86 138"
                              << "'+86 138";
        QTest::newRow("minus") << "-3"
                               << "'-3";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("leading tab") << "\tx"
                                     << "'\tx";
        QTest::newRow("leading carriage return") << "\rx"
                                                 << "\"'\rx\"";
        QTest::newRow("formula with quotes and comma")
            << "=HYPERLINK(\"http://x\",\"y\")"
            << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::newRow("sign later in the text") << "a=b-c"
                                                << "a=b-c";
    }

    void csvFieldDisarmsFormulasAndQuotes() {
        QFETCH(QString, cell);
        QFETCH(QString, field);
        QCOMPARE(Export::csvField(cell), field);
    }

    void csvFileHasTheByteOrderMarkAndCrlfLines() {
        ExportDocument doc = document(1);
        doc.views[0].rows.append(QStringList{"=cmd", "a,b"});
        const QString path = m_dir.filePath("table.csv");
        QVERIFY(Export::write(Format::Csv, path, doc).ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF") +
                                     QStringLiteral("名称,平均小花\r\n一班,4.5\r\n二班,9\r\n"
                                                    "'=cmd,\"a,b\"\r\n")
                                         .toUtf8());
    }

    void pdfHasOnePagePerView_data() {
        QTest::addColumn<int>("views");
        QTest::newRow("one view") << 1;
        QTest::newRow("three views") << 3;
    }

    void pdfHasOnePagePerView() {
        QFETCH(int, views);
        const QString path = m_dir.filePath("report.pdf");
        QVERIFY(Export::write(Format::Pdf, path, document(views)).ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
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
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old"});
        QVERIFY(oldFile.open(QIODevice::ReadOnly));
        QCOMPARE(oldFile.readAll(), QByteArray("old"));
    }

    void suggestedNameSaysWhatAndWhen_data() {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("report") << QStringList{"报表", "年级", "2026-2027学年上学期"}
                                << int(Format::Csv)
                                << "报表-年级-2026-2027学年上学期-2026-12-07.csv";
        QTest::newRow("empty term skipped")
            << QStringList{"报表", "", "学校"} << int(Format::Pdf) << "报表-学校-2026-12-07.pdf";
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
