#include "BasicVC.h"
#include "ImageLoader.h"
#include "LoadMoreFooter.h"
#include "NothingView.h"
#include "OverlayHost.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "SettingsStore.h"
#include "StubHttpServer.h"
#include "Toast.h"
#include "records/ContentRecords.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QJsonDocument>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

// The paged list model driven through real answer handlers: their completion and failure callables
// are called with canned JSON, as the transport would. Images come from the in-process stub.
class tst_PagedRows : public QObject {
    Q_OBJECT

    using Rows = PagedRows<BookListModel>;
    QTemporaryDir m_dir;
    StubHttpServer m_server;
    QWidget m_window;
    int m_serial = 0;

    // A model whose page requests are recorded; the answer handlers wait in `answers`.
    struct Fixture {
        Rows rows{[](const BookListModel &book, int role) {
            return role == Qt::DisplayRole ? QVariant(book.BookId) : QVariant();
        }};
        QList<int> asked;
        QList<AnswerHandler<GetBookListRsp>> answers;
        Fixture() {
            rows.setImageUrlOf([](const BookListModel &b) { return b.ImageUrl.value_or(""); });
            rows.setPageRequest([this](int page, int size) {
                QCOMPARE(size, Rows::DefaultPageSize);
                asked.append(page);
                answers.append(rows.answerForPage<GetBookListRsp>(
                    nullptr, page, [](const GetBookListRsp &rsp) {
                        return QList<BookListModel>(rsp.bookList.value_or(QList<BookListModel>()));
                    }));
            });
        }
        // The answer to the latest request: books first..first+n-1 (or a body as given).
        void answer(int first, int n, const QStringList &urls = {}) {
            answerAt(-1, first, n, urls);
        }
        void answerAt(int which, int first, int n, const QStringList &urls = {}) {
            QJsonArray books;
            for (int i = 0; i < n; ++i)
                books.append(QJsonObject{{"BookId", first + i}, {"ImageUrl", urls.value(i)}});
            answers.at(which < 0 ? answers.size() - 1 : which)
                .completion()(QJsonObject{{"result", 1}, {"bookList", books}});
        }
        QList<qint64> ids() const {
            QList<qint64> ids;
            for (const auto &book : rows.rows())
                ids.append(book.BookId);
            return ids;
        }
    };

    static QList<qint64> range(int first, int n) {
        QList<qint64> ids;
        for (int i = 0; i < n; ++i)
            ids.append(first + i);
        return ids;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_dir.filePath("config").toUtf8());
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_dir.filePath("cache").toUtf8());
        SettingsStore::reset();
        ImageLoader::resetInstance();
        QVERIFY(m_server.start());
        m_window.resize(375, 667);
        m_window.show();
        OverlayHost::setHost(&m_window);
    }
    void cleanup() { Toast::hide(); }

    // Reset, append, failure, empty pages and clear under the model tester, which also pulls
    // through fetchMore() whenever the model says there is more.
    void consistentThroughAWholeSession() {
        Fixture f;
        QAbstractItemModelTester tester(&f.rows,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        tester.setUseFetchMore(true);
        QVERIFY(!f.rows.canFetchMore({})); // nothing known yet: views do not start loading
        f.rows.refresh();
        f.answer(1, 9);
        QCOMPARE(f.asked, QList<int>({1, 2})); // a full page: the tester fetched more at once
        f.answer(10, 4);
        QCOMPARE(f.ids(), range(1, 13));
        QVERIFY(!f.rows.hasMore() && !f.rows.canFetchMore({}));
        f.rows.loadMore();
        f.answers.last().failure()(QStringLiteral("timeout"));
        f.rows.loadMore();
        f.answer(0, 0);
        QCOMPARE(f.asked, QList<int>({1, 2, 3, 3}));
        QCOMPARE(f.rows.currentPage(), 3);
        f.rows.refresh();
        f.answer(0, 0);
        QCOMPARE(f.rows.count(), 0);
        f.rows.refresh();
        f.answer(20, 2);
        f.rows.clear();
        QCOMPARE(f.rows.count(), 0);
        QCOMPARE(f.rows.currentPage(), 0);
        QVERIFY(!f.rows.isValidRow(0));
        QTest::ignoreMessage(QtWarningMsg, "no row 5 of 0");
        QCOMPARE(f.rows.at(5).BookId, 0); // out of range: a default record, no crash
    }

    void failedPageIsAskedAgain_data() {
        QTest::addColumn<QJsonValue>("refusal"); // Null: a transport failure
        QTest::addColumn<QString>("toast");
        QTest::newRow("refused") << QJsonValue(QJsonObject{{"result", 0}, {"msg", "忙"}}) << "忙";
        QTest::newRow("other result") << QJsonValue(QJsonObject{{"result", 2}}) << "";
        QTest::newRow("not an object") << QJsonValue(QJsonArray{1}) << "";
        QTest::newRow("transport") << QJsonValue() << AnswerHandling::NoNetworkText;
    }
    void failedPageIsAskedAgain() {
        QFETCH(QJsonValue, refusal);
        QFETCH(QString, toast);
        Fixture f;
        const auto fail = [&] {
            if (refusal.isNull())
                f.answers.last().failure()(QStringLiteral("connection refused"));
            else
                f.answers.last().completion()(refusal);
        };
        f.rows.refresh();
        f.answer(1, 9);
        f.rows.loadMore();
        fail();
        QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), toast);
        QCOMPARE(f.rows.currentPage(), 1);
        QVERIFY(!f.rows.isLoading());
        f.rows.loadMore();
        QCOMPARE(f.asked, QList<int>({1, 2, 2}));
        f.answer(10, 9);
        f.rows.refresh();
        fail(); // a failed refresh keeps what was shown
        QCOMPARE(f.ids(), range(1, 18));
        QCOMPARE(f.rows.currentPage(), 2);
        f.rows.loadMore();
        QCOMPARE(f.asked.last(), 3);
    }

    // An answer for a request that a later one replaced changes nothing, success or failure.
    void staleAnswersAreDropped_data() {
        QTest::addColumn<bool>("loadMoreFirst");
        QTest::addColumn<bool>("staleFails");
        QTest::newRow("load-more answer after a refresh") << true << false;
        QTest::newRow("load-more failure after a refresh") << true << true;
        QTest::newRow("older refresh answer") << false << false;
        QTest::newRow("older refresh failure") << false << true;
    }
    void staleAnswersAreDropped() {
        QFETCH(bool, loadMoreFirst);
        QFETCH(bool, staleFails);
        Fixture f;
        f.rows.refresh();
        f.answer(1, 9);
        loadMoreFirst ? f.rows.loadMore() : f.rows.refresh();
        f.rows.refresh();
        QSignalSpy changes(&f.rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy resets(&f.rows, &QAbstractItemModel::modelReset);
        if (staleFails)
            f.answers.at(1).failure()(QString());
        else
            f.answerAt(1, 100, 9);
        QVERIFY(f.rows.isLoading());
        QCOMPARE(changes.count() + resets.count(), 0);
        QCOMPARE(f.ids(), range(1, 9));
        f.answer(50, 3);
        QCOMPARE(f.ids(), range(50, 3));
        QCOMPARE(f.rows.currentPage(), 1);
    }

    // The controls end with the page; the empty-data cover comes over the list when it is empty.
    void controlsAndCover() {
        BasicVC screen;
        QListView list(&screen);
        Fixture f;
        list.setModel(&f.rows);
        f.rows.attach(&list, &screen);
        const auto covered = [&] { return !list.findChildren<NothingView *>().isEmpty(); };
        f.rows.header()->beginRefreshing();
        QCOMPARE(f.asked, QList<int>({1}));
        f.answer(0, 0);
        QVERIFY(!f.rows.header()->isRefreshing());
        QVERIFY(covered());
        f.rows.footer()->beginRefreshing(); // the footer stays available after the last page
        QCOMPARE(f.asked, QList<int>({1, 2}));
        QVERIFY(!covered()); // gone for the load
        f.answers.last().failure()(QString());
        QVERIFY(!f.rows.footer()->isRefreshing());
        QVERIFY(covered()); // still known empty
        f.rows.refresh();
        f.answer(1, 2);
        QVERIFY(!covered());
    }

    // A late image goes to the rows that show its URL when it arrives, wherever they are now.
    void imageReachesTheRowShowingIt_data() {
        QTest::addColumn<QStringList>("reloaded"); // names of the images on page 1 meanwhile
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("unchanged") << QStringList{"a", "b"} << QList<int>{0};
        QTest::newRow("moved") << QStringList{"c", "a"} << QList<int>{1};
        QTest::newRow("twice") << QStringList{"a", "c", "a"} << QList<int>{0, 2};
        QTest::newRow("gone") << QStringList{"c"} << QList<int>{};
    }
    void imageReachesTheRowShowingIt() {
        QFETCH(QStringList, reloaded);
        QFETCH(QList<int>, changed);
        QImage picture(6, 4, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
        const QString run = QString::number(++m_serial);
        const auto urlOf = [&](const QString &name) { return m_server.baseUrl() + name + run; };
        for (const char *name : {"a", "b", "c"}) {
            StubHttpServer::Answer answer;
            answer.contentType = QByteArray("image/png");
            answer.body = png;
            m_server.setAnswer(QLatin1String(name) + run, answer);
        }
        QStringList urls;
        for (const QString &name : reloaded)
            urls.append(urlOf(name));

        Fixture f;
        f.rows.refresh();
        f.answer(1, 2, {urlOf("a"), urlOf("b")});
        QVERIFY(!f.rows.data(f.rows.index(0), Qt::DecorationRole).isValid()); // asks for it
        f.rows.refresh();
        f.answer(1, int(urls.size()), urls);
        QSignalSpy changes(&f.rows, &QAbstractItemModel::dataChanged);
        QSignalSpy loaded(&ImageLoader::instance(), &ImageLoader::finished);
        QVERIFY(loaded.wait(10000));
        QList<int> rows;
        for (const auto &change : changes) {
            QCOMPARE(change.at(2).value<QList<int>>(), QList<int>{Qt::DecorationRole});
            rows.append(change.at(0).toModelIndex().row());
        }
        QCOMPARE(rows, changed);
        // Another reload finds it at once in the loader's memory, without a change from data().
        f.rows.refresh();
        f.answer(1, int(urls.size()), urls);
        changes.clear();
        for (int row : changed) {
            const QVariant image = f.rows.data(f.rows.index(row), Qt::DecorationRole);
            QCOMPARE(image.value<QPixmap>().size(), QSize(6, 4));
        }
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(tst_PagedRows)
#include "tst_PagedRows.moc"
