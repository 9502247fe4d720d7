#include "ImageLoader.h"
#include "StubHttpServer.h"
#include "reflections/PictureBrowser.h"
#include "reflections/PictureGrid.h"

#include <QTemporaryDir>
#include <QtTest>

// A reflection that lists a thousand pictures: nine thumbnails, a browser over a bounded list
// that loads only the page shown and its neighbours.
class tst_PictureGrid : public QObject {
    Q_OBJECT

    QTemporaryDir m_cache;
    StubHttpServer m_server;

private slots:
    void thousandsOfPicturesStayBounded() {
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_cache.path().toUtf8());
        QVERIFY(m_server.start());
        m_server.setDefaultAnswer(StubHttpServer::Answer::json(
            QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7")));
        QList<PictureItem> items;
        for (int i = 0; i < 1000; ++i)
            items.append({m_server.baseUrl() + QStringLiteral("thumbnail/%1.png").arg(i)});

        PictureGrid grid;
        grid.setPictureItems(items);
        QCOMPARE(grid.pictureItems().size(), PictureGrid::MaxPictures);
        QVERIFY(grid.thumbnailAt(8) && !grid.thumbnailAt(9));
        QCOMPARE(grid.thumbnailAt(8)->moreCount(), PictureGrid::MaxPictures - 9);
        QTRY_COMPARE(ImageLoader::instance().requestsInFlight(), 0);
        QCOMPARE(m_server.requests().size(), 9);

        grid.openBrowserAt(8);
        PictureBrowser *browser = PictureBrowser::current();
        QCOMPARE(browser->count(), PictureGrid::MaxPictures);
        QTRY_COMPARE(browser->pageState(9), PictureBrowser::PageState::Loaded);
        browser->showPage(200);
        QVERIFY(browser->pageImage(9).isNull()); // let go of
        QTRY_COMPARE(ImageLoader::instance().requestsInFlight(), 0);
        QCOMPARE(m_server.requests().size(), 9 + 6); // pages 7 to 9, then 199 to 201
        delete browser;
    }
};

QTEST_MAIN(tst_PictureGrid)
#include "tst_PictureGrid.moc"
