#include "BasicVC.h"
#include "ImageLoader.h"
#include "LoadMoreFooter.h"
#include "NothingView.h"
#include "OverlayHost.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "StubHttpServer.h"
#include "Toast.h"
#include "records/ContentRecords.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

using Rows = PagedRows<BookListModel>;

// A model whose page requests are recorded. Their real answer handlers wait in `answers`; a test
// calls their completion and failure callables as the transport would.
struct Fixture {
    Rows rows{[](const BookListModel &b, int role) {
        return role == Qt::DisplayRole ? QVariant(b.BookId) : QVariant();
    }};
    QList<int> asked;
    QList<PageAnswer<GetBookListRsp>> answers;
    Fixture() {
        rows.setImageUrlOf([](const BookListModel &b) { return b.ImageUrl.value_or(""); });
        rows.setPageRequest([this](int page, int) {
            asked.append(page);
            answers.append(rows.answerForPage<GetBookListRsp>(nullptr, page, [](const auto &rsp) {
                return QList<BookListModel>(rsp.bookList.value_or(QList<BookListModel>()));
            }));
        });
    }
    // Books first..first+n-1 (with these image URLs) answer request `which` (-1: the latest).
    void answer(int first, int n, const QStringList &urls = {}, int which = -1) {
        QJsonArray books;
        for (int i = 0; i < n; ++i)
            books.append(QJsonObject{{"BookId", first + i}, {"ImageUrl", urls.value(i)}});
        answers.at(which < 0 ? answers.size() - 1 : which)
            .completion()(QJsonObject{{"result", 1}, {"bookList", books}});
    }
    void fail(int which = -1) { answers.at(which < 0 ? answers.size() - 1 : which).failure()({}); }
    // The rows are exactly books first..first+n-1.
    bool shows(int first, int n) const {
        bool same = rows.count() == n;
        for (int i = 0; same && i < n; ++i)
            same = rows.at(i).BookId == first + i;
        return same;
    }
};

class tst_PagedRows : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    StubHttpServer m_server;
    QWidget m_window;
    StubHttpServer::Answer m_png; // a 6 x 4 picture

private slots:
    void initTestCase() {
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_dir.filePath("config").toUtf8());
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_dir.filePath("cache").toUtf8());
        QVERIFY(m_dir.isValid() && m_server.start());
        m_png.contentType = QByteArray("image/png");
        QBuffer buffer(&m_png.body);
        QImage picture(6, 4, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
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
        f.rows.refresh();
        f.answer(1, 9);
        QCOMPARE(f.asked, QList<int>({1, 2})); // a full page: the tester fetched more at once
        f.answer(10, 4);
        QVERIFY(f.shows(1, 13));
        QVERIFY(!f.rows.canFetchMore({}));
        f.rows.loadMore();
        f.fail();
        f.rows.loadMore();
        f.answer(0, 0); // an empty page still counts
        f.rows.loadMore();
        QCOMPARE(f.asked, QList<int>({1, 2, 3, 3, 4}));
        f.answer(0, 0);
        f.rows.refresh();
        f.answer(0, 0);
        QCOMPARE(f.rows.count(), 0);
        f.rows.refresh();
        f.answer(20, 2);
        f.rows.clear();
        QCOMPARE(f.rows.currentPage(), 0);
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
            refusal.isNull() ? f.fail() : f.answers.last().completion()(refusal);
        };
        f.rows.refresh();
        f.answer(1, 9);
        f.rows.loadMore();
        fail();
        QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), toast);
        QVERIFY(!f.rows.isLoading());
        f.rows.loadMore();
        f.answer(10, 9);
        f.rows.refresh();
        fail(); // a failed refresh keeps what was shown
        QVERIFY(f.shows(1, 18));
        f.rows.loadMore();
        QCOMPARE(f.asked, QList<int>({1, 2, 2, 1, 3}));
    }

    // An answer to a request that a later one replaced changes nothing, success or failure, and
    // says nothing: the "无网络连接" of a load that no longer counts would be news of nothing.
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
        staleFails ? f.fail(1) : f.answer(100, 9, {}, 1);
        QVERIFY(f.rows.isLoading() && !Toast::isShowing());
        QVERIFY(f.shows(1, 9));
        f.answer(50, 3);
        QVERIFY(f.shows(50, 3));
    }

    // However the rows come, a list shows the first MaxRows, asks for nothing after them and says
    // so; a list that merely reaches the bound asks for nothing more either.
    void rowsAreCapped_data() {
        QTest::addColumn<QList<int>>("pages"); // rows in each page that arrives
        QTest::addColumn<bool>("toast");
        QTest::newRow("one long answer") << QList<int>{Rows::MaxRows + 5} << true;
        QTest::newRow("a page past the bound") << QList<int>{Rows::MaxRows - 4, 9} << true;
        QTest::newRow("pages up to the bound") << QList<int>{Rows::MaxRows - 9, 9} << false;
    }
    void rowsAreCapped() {
        QFETCH(QList<int>, pages);
        QFETCH(bool, toast);
        Fixture f;
        f.rows.refresh();
        for (int first = 1; const int n : pages) {
            if (first > 1)
                f.rows.loadMore();
            f.answer(first, n);
            first += n;
        }
        QVERIFY(f.shows(1, Rows::MaxRows));
        QCOMPARE(Toast::isShowing(), toast);
        f.rows.loadMore();
        QVERIFY(!f.rows.canFetchMore({}) && f.asked.size() == pages.size());
        QCOMPARE(Toast::currentText(), Rows::cappedText());
    }

    // The controls end with the page; the empty-data cover lies over the list while it is empty.
    void controlsAndCover() {
        BasicVC screen;
        QListView list(&screen);
        Fixture f;
        f.rows.attach(&list, &screen);
        const auto covered = [&] { return !list.findChildren<NothingView *>().isEmpty(); };
        f.rows.header()->beginRefreshing();
        f.answer(0, 0);
        QVERIFY(!f.rows.header()->isRefreshing() && covered());
        f.rows.footer()->beginRefreshing(); // the footer stays available after the last page
        QCOMPARE(f.asked, QList<int>({1, 2}));
        QVERIFY(!covered()); // gone for the load
        f.fail();
        QVERIFY(!f.rows.footer()->isRefreshing() && covered()); // still known to be empty
        f.rows.refresh();
        f.answer(1, 2);
        QVERIFY(!covered());
    }

    // The whole list in one answer: page 1 only, no footer, a failed reload keeps the rows.
    void singlePage() {
        QListView list;
        Fixture f;
        f.rows.setSinglePage(true);
        f.rows.attach(&list);
        f.rows.header()->beginRefreshing();
        f.answer(1, 9);
        f.rows.loadMore();
        f.rows.fetchMore({});
        f.rows.refresh();
        f.fail();
        QVERIFY(!f.rows.footer() && !f.rows.canFetchMore({}) && f.shows(1, 9));
        QCOMPARE(f.asked, QList<int>({1, 1}));
    }

    // A late image goes to the rows that show its URL when it arrives, wherever they are now.
    void imageReachesTheRowShowingIt_data() {
        QTest::addColumn<QStringList>("reloaded"); // the images of page 1 when the image arrives
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("unchanged") << QStringList{"a", "b"} << QList<int>{0};
        QTest::newRow("moved") << QStringList{"c", "a"} << QList<int>{1};
        QTest::newRow("twice") << QStringList{"a", "c", "a"} << QList<int>{0, 2};
        QTest::newRow("gone") << QStringList{"c"} << QList<int>{};
    }
    void imageReachesTheRowShowingIt() {
        QFETCH(QStringList, reloaded);
        QFETCH(QList<int>, changed);
        const QString run = QTest::currentDataTag(); // fresh URLs: no cache answers for them
        QStringList urls;
        for (const QString &name : reloaded + QStringList{"a", "b"}) {
            m_server.setAnswer(run + name, m_png);
            urls.append(m_server.baseUrl() + run + name);
        }
        Fixture f;
        f.rows.refresh();
        f.answer(1, 2, urls.mid(reloaded.size()));
        QVERIFY(!f.rows.data(f.rows.index(0), Qt::DecorationRole).isValid()); // asks for it
        f.rows.refresh();
        f.answer(1, int(reloaded.size()), urls);
        QSignalSpy changes(&f.rows, &QAbstractItemModel::dataChanged);
        QVERIFY(QSignalSpy(&ImageLoader::instance(), &ImageLoader::finished).wait(10000));
        QList<int> rows;
        for (const auto &change : changes) {
            QCOMPARE(change.at(2).value<QList<int>>(), QList<int>{Qt::DecorationRole});
            rows.append(change.at(0).toModelIndex().row());
        }
        QCOMPARE(rows, changed);
        // Another reload finds it at once in the loader's memory, without a change from data().
        f.rows.refresh();
        f.answer(1, int(reloaded.size()), urls);
        changes.clear();
        for (int row : changed) {
            const QVariant image = f.rows.data(f.rows.index(row), Qt::DecorationRole);
            QCOMPARE(image.value<QPixmap>().size(), QSize(6, 4));
        }
        QCOMPARE(changes.count(), 0);
    }

    // A bounded model keeps a picture fitted into the bound, in proportion and never enlarged;
    // another bound fits it anew.
    void keptImageFitsTheBound() {
        m_server.setAnswer("bounded", m_png);
        Fixture f;
        f.rows.setImageBound(QSize(3, 3));
        f.rows.refresh();
        f.answer(1, 1, {m_server.baseUrl() + "bounded"});
        const auto shown = [&] {
            return f.rows.data(f.rows.index(0), Qt::DecorationRole).value<QPixmap>().size();
        };
        QTRY_COMPARE(shown(), QSize(3, 2));
        QSignalSpy changes(&f.rows, &QAbstractItemModel::dataChanged);
        f.rows.setImageBound(QSize(12, 12));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(shown(), QSize(6, 4)); // from the loader's memory, at once
    }
};

QTEST_MAIN(tst_PagedRows)
#include "tst_PagedRows.moc"
