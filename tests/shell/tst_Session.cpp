#include "AlertView.h"
#include "BaseAFHttpManager.h"
#include "ImageLoader.h"
#include "LoginState.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "ShellState.h"
#include "StubHttpServer.h"
#include "Toast.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

// The reset between tests puts back all a sign-in and its screens leave behind; a part it missed
// would show the next test the previous one's login, calls, pictures or overlays.
class tst_Session : public QObject {
    Q_OBJECT
private slots:
    void resetLeavesTheSessionAsNew() {
        QTemporaryDir cache;
        qputenv("TEACHER_CLIENT_CACHE_DIR", cache.path().toUtf8());
        StubHttpServer server;
        QVERIFY(server.start());
        StubHttpServer::Answer picture;
        picture.contentType = QByteArray("image/png");
        QBuffer buffer(&picture.body);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
        server.setAnswer(QStringLiteral("p.png"), picture);
        StubHttpServer::Answer slow = StubHttpServer::Answer::json("{}");
        slow.delayMs = 5000;
        server.setAnswer(QStringLiteral("slow"), slow);
        QWidget window;
        window.resize(375, 667);
        window.show();
        OverlayHost::setHost(&window);

        const QString url = server.baseUrl() + QStringLiteral("p.png");
        ImageLoader::instance().fetch(url, &window, [](const QPixmap &) {});
        QTRY_VERIFY(ImageLoader::instance().isInMemory(url));
        LoginRsp answer;
        answer.uid = 7;
        LoginState::applySignedIn(answer);
        BaseAFHttpManager::postRequestOperationForHost(server.baseUrl(), QStringLiteral("slow"), {},
                                                       nullptr, nullptr);
        ProgressHud::showWithStatus(QStringLiteral("请稍候"));
        Toast::show(QStringLiteral("已保存"));
        AlertView::show(QStringLiteral("温馨提示"), QStringLiteral("确认？"), {"a", "b"});
        QCOMPARE(HostedOverlay::stackIn(&window).size(), 3);

        ShellState::resetForTests();
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
        QVERIFY(!LoginRsp::shareRsp().isLogin && LoginRsp::shareRsp().uid == 0);
        QVERIFY(!ImageLoader::instance().isInMemory(url));
        QVERIFY(!ProgressHud::isVisible() && !Toast::isShowing() && !AlertView::current());
        QVERIFY(HostedOverlay::stackIn(&window).isEmpty());
    }
};

QTEST_MAIN(tst_Session)
#include "tst_Session.moc"
