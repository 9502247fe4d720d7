#include "AnswerCache.h"
#include "AppDelegate.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "CataloguePath.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "OfflineBar.h"
#include "ProgressHud.h"
#include "RootTabbarController.h"
#include "ScreenFactory.h"
#include "ScreenTestFixture.h"
#include "ServiceConnection.h"
#include "Session.h"
#include "SingleInstance.h"
#include "TeacherRequestManager.h"
#include "TextRules.h"
#include "Toast.h"
#include "UnitMetiodManager.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class GuideStandIn : public BasicVC {
    Q_OBJECT
};
class LoginStandIn : public BasicVC {
    Q_OBJECT
};
class HomeStandIn : public BasicVC {
    Q_OBJECT
};
class BooksStandIn : public BasicVC {
    Q_OBJECT
};
class ChartStandIn : public BasicVC {
    Q_OBJECT
};
class UserStandIn : public BasicVC {
    Q_OBJECT
};

// The start-up decision and the automatic login, through the real transport against the stub.
// The screens themselves live above the shell, so the login stack and the tab roots are stand-ins
// registered the way the program registers the real ones.
class tst_StartUp : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture{registerStandIns};
    StubHttpServer &m_server = m_fixture.server();
    std::unique_ptr<AppDelegate> m_delegate;
    int m_mainPosts = 0;
    QObject m_observer;

    static const char *LoginAnswer;

    static ViewController *root() { return AppWindow::instance()->rootViewController(); }

    static bool isLoginStack(ViewController *vc) {
        auto *stack = qobject_cast<NavigationController *>(vc);
        return stack && stack->rootViewController() &&
               stack->rootViewController()->objectName() == u"login";
    }

    static void registerStandIns() {
        ScreenFactory::setFirstLaunch<GuideStandIn>();
        ScreenFactory::setLoginStack(&LoginStandIn::staticMetaObject, [] {
            auto *login = new LoginStandIn;
            login->setObjectName("login");
            auto *stack = new NavigationController(login);
            stack->setNavigationBarHidden(true, false);
            return stack;
        });
        ScreenFactory::setTabs(
            {standIn<HomeStandIn>("首页", "main"), standIn<BooksStandIn>("书城", "book"),
             standIn<ChartStandIn>("报表", "chart"), standIn<UserStandIn>("我", "user")});
    }

    template <typename T>
    static ScreenFactory::Tab standIn(const QString &title, const QString &icon) {
        ScreenFactory::Tab tab =
            ScreenFactory::tab<T>(title, icon + "_item_normal", icon + "_item_selected");
        tab.maker = [title] {
            auto *screen = new T;
            screen->setObjectName(title);
            auto *stack = new NavigationController(screen);
            stack->setNavigationBarHidden(title == u"我", false);
            return stack;
        };
        return tab;
    }

    void remember(bool autoLogin) {
        UnitMetiodManager::saveShowGuideKey(true);
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum(" 13800000001", "123 456", autoLogin));
    }

    void launch() {
        m_delegate = std::make_unique<AppDelegate>();
        QVERIFY(m_delegate->didFinishLaunchingWithOptions());
        QVERIFY(AppWindow::instance());
        QVERIFY(AppWindow::instance()->isVisible());
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        // The program opens its own window.
        m_fixture.closeWindow();
        m_mainPosts = 0;
        NotificationCenter::addObserver(&m_observer, NOTIFICATION_UPDATE_MAIN,
                                        [this] { ++m_mainPosts; });
    }

    void cleanup() { m_delegate.reset(); }

    void freshInstallShowsTheGuideWhateverIsRemembered() {
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800000001", "123456", true));
        launch();
        QVERIFY(qobject_cast<GuideStandIn *>(root()));
        // No automatic login: it would have raised the spinner at once.
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(AppWindow::instance()->size(), DeviceProfile::current().screenSize);
    }

    void withoutAutomaticLoginTheLoginStackShows_data() {
        QTest::addColumn<bool>("rememberSomething");
        QTest::newRow("nothing remembered") << false;
        QTest::newRow("remembered, auto-login off (after sign-out)") << true;
    }

    void withoutAutomaticLoginTheLoginStackShows() {
        QFETCH(bool, rememberSomething);
        UnitMetiodManager::saveShowGuideKey(true);
        if (rememberSomething)
            remember(false);
        launch();
        QVERIFY(isLoginStack(root()));
        QVERIFY(!ProgressHud::isVisible());
    }

    void automaticLoginSucceeds() {
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::json(LoginAnswer));
        remember(true);
        launch();
        // The tabs are on screen before the answer, under a spinner that lets touches through.
        QVERIFY(qobject_cast<RootTabbarController *>(root()));
        QVERIFY(ProgressHud::isVisible());
        QVERIFY(!ProgressHud::isBlocking());

        QTRY_COMPARE(m_mainPosts, 1);
        const QHash<QString, QString> form = m_server.lastRequest().form();
        QCOMPARE(form.value("userName"), QStringLiteral(" 13800000001"));
        QCOMPARE(form.value("password"), QStringLiteral("123 456"));

        const LoginRsp &current = LoginRsp::shareRsp();
        QVERIFY(current.isLogin);
        QCOMPARE(current.uid, 101);
        QCOMPARE(current.collectionNum, 4);
        QCOMPARE(current.photo, QStringLiteral("http://img/1.png"));
        QVERIFY(current.user);
        QCOMPARE(current.user->SchoolId, 9);
        QVERIFY(!current.classList);
        QVERIFY(qobject_cast<RootTabbarController *>(root()));
        QVERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }

    void automaticLoginRefusedShowsTheLoginStack_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("result 0") << QByteArray(R"({"result":0,"msg":"密码错误"})");
        QTest::newRow("result 2") << QByteArray(R"({"result":2,"msg":"请绑定","uid":5})");
        QTest::newRow("unexpected result") << QByteArray(R"({"result":-3})");
        QTest::newRow("empty answer") << QByteArray("");
    }

    void automaticLoginRefusedShowsTheLoginStack() {
        QFETCH(QByteArray, answer);
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::json(answer));
        remember(true);
        launch();
        QVERIFY(qobject_cast<RootTabbarController *>(root()));
        QTRY_VERIFY(isLoginStack(root()));
        QVERIFY(!Toast::isShowing());
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_mainPosts, 0);
        QCOMPARE(LoginRsp::shareRsp().uid, 0);
        QVERIFY(!LoginRsp::shareRsp().isLogin);
        // The remembered login is untouched, so the login screen can fill its fields.
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum(" 13800000001", "123 456", true));
    }

    void automaticLoginWithoutNetworkKeepsTheTabs() {
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::dropped());
        remember(true);
        launch();
        auto *tabs = qobject_cast<RootTabbarController *>(root());
        QVERIFY(tabs);
        QTRY_VERIFY(Toast::isShowing());
        QCOMPARE(Toast::currentText(), QStringLiteral("无网络连接"));
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(root(), tabs);
        QVERIFY(!LoginRsp::shareRsp().isLogin);
        QCOMPARE(m_mainPosts, 0);
    }

    // The program started again without a network opens signed in on what the teacher read.
    // A password changed or revoked meanwhile keeps no access once the service can be asked:
    // the kept sign-in knows the teacher, never the password.
    void automaticLoginWithoutNetworkSignsInAsLastTime_data() {
        QTest::addColumn<QByteArray>("answer"); // to the sign-in once the service is back
        QTest::addColumn<bool>("signedOut");
        QTest::newRow("refused") << QByteArray(R"({"result":0,"msg":"密码错误"})") << true;
        QTest::newRow("accepted") << QByteArray(LoginAnswer) << false;
    }
    void automaticLoginWithoutNetworkSignsInAsLastTime() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, signedOut);
        QTemporaryDir dir;
        AnswerCache &cache = AnswerCache::instance();
        cache.setFolder(dir.path());
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::json(LoginAnswer));
        remember(true);
        launch();
        QTRY_COMPARE(m_mainPosts, 1);
        cache.waitForWrites();
        const QByteArray hash = QCryptographicHash::hash("123 456", QCryptographicHash::Sha256);
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.fileName().toUtf8() + file.readAll();
            QVERIFY(!bytes.contains("123 456") && !bytes.contains(hash.toHex()));
        }

        m_delegate.reset();
        LoginState::reset();
        cache.resetForTests();
        cache.setFolder(dir.path());
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum(" 13800000001", "changed meanwhile", true));
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::dropped());
        launch();
        QTRY_COMPARE(m_mainPosts, 2);
        QCOMPARE(LoginRsp::shareRsp().uid, 101);
        QTRY_VERIFY(Session::instance().isCheckingSignIn()); // once the service was not reached
        // The tabs take no bar of their own across every screen.
        QVERIFY(!root()->findChild<OfflineBar *>(QString(), Qt::FindDirectChildrenOnly));

        // Until the service has its say, changes are refused before they leave.
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::json(answer));
        const auto send = [](const char *name, ServiceCompletion done) {
            TeacherRequestManager::call(QString::fromLatin1(name), {}, done,
                                        [](const QString &) {});
        };
        QJsonObject refusal;
        send("AddGood",
             [&](const auto &value) { refusal = value.value_or(QJsonValue()).toObject(); });
        QTRY_VERIFY(refusal.value("msg").toString().contains(QStringLiteral("确认")));
        QCOMPARE(refusal.value("result").toInt(-1), 0);
        QVERIFY(m_server.requestsTo(TestCatalogue::pathOf(Operation::AddGood)).isEmpty());
        // The first answer that comes anew puts the sign-in to the service at once.
        m_server.setAnswer(TestCatalogue::pathOf(Operation::GetFeelList),
                           StubHttpServer::Answer::json(R"({"result":1})"));
        send("GetFeelList", [](const auto &) {});
        QTRY_VERIFY_WITH_TIMEOUT(!Session::instance().isCheckingSignIn(),
                                 Session::FirstRetryMs / 2); // sooner than the timer
        QCOMPARE(isLoginStack(root()), signedOut);
        QCOMPARE(m_server.requestsTo(TestCatalogue::pathOf(Operation::Login))
                     .last()
                     .form()
                     .value("password"),
                 QStringLiteral("changed meanwhile"));
        send("AddGood", [](const auto &) {});
        QTRY_COMPARE(m_server.requestsTo(TestCatalogue::pathOf(Operation::AddGood)).size(), 1);
    }

    // With the network there, the kept sign-in opens the screens at once, and the service's
    // answer, a moment later, confirms it without asking the screens again, or signs out.
    void keptSignInOpensAtOnceAndTheServiceDecides_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("refused") << QByteArray(R"({"result":0,"msg":"密码错误"})");
        QTest::newRow("accepted") << QByteArray(LoginAnswer);
    }
    void keptSignInOpensAtOnceAndTheServiceDecides() {
        QFETCH(QByteArray, answer);
        const bool refused = answer != LoginAnswer;
        QTemporaryDir dir;
        AnswerCache::instance().setFolder(dir.path());
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login),
                           StubHttpServer::Answer::json(LoginAnswer));
        remember(true);
        launch();
        QTRY_COMPARE(m_mainPosts, 1);
        StubHttpServer::Answer slow = StubHttpServer::Answer::json(answer);
        slow.delayMs = 400;
        m_server.setAnswer(TestCatalogue::pathOf(Operation::Login), slow);
        m_delegate.reset(); // a new start of the program
        LoginState::reset();
        AnswerCache::instance().resetForTests();
        AnswerCache::instance().setFolder(dir.path());
        launch();
        QTRY_COMPARE(m_mainPosts, 2);
        QVERIFY(!ProgressHud::isVisible() && Session::instance().connection().signInUnverified());
        QTRY_COMPARE(isLoginStack(root()), refused);
        QTRY_VERIFY(!Session::instance().connection().signInUnverified());
        QCOMPARE(m_mainPosts, 2); // the screens were not asked again
        QCOMPARE(Toast::currentText(), refused ? QStringLiteral("密码错误") : QString());
    }

    // A registration that lost an entry or names an icon that is not shipped is reported when the
    // client starts, before anyone taps the tab or the back button.
    void brokenRegistrationIsReportedAtStart_data() {
        QTest::addColumn<int>("breakage");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no login stack") << 0 << "no login stack is registered";
        QTest::newRow("no tabs") << 1 << "no tab is registered";
        QTest::newRow("renamed icon") << 2 << "tab 2 (书城): no icon asset \"book_item_normall\"";
        QTest::newRow("tab without maker") << 3 << "tab 3 (报表): no root class or maker";
        QTest::newRow("same root twice") << 4 << "tab 4 (我): HomeStandIn is already a tab root";
        QTest::newRow("untitled tab") << 5 << "tab 1 (): no title";
        QTest::newRow("no first-launch screen") << 6 << "no first-launch screen is registered";
    }
    void brokenRegistrationIsReportedAtStart() {
        QFETCH(int, breakage);
        QFETCH(QString, problem);
        QList<ScreenFactory::Tab> tabs = ScreenFactory::tabs();
        switch (breakage) {
        case 0:
            ScreenFactory::setLoginStack(nullptr, {});
            break;
        case 1:
            tabs.clear();
            break;
        case 2:
            tabs[1].normalIcon += 'l';
            break;
        case 3:
            tabs[2].maker = {};
            break;
        case 4:
            tabs[3].rootClass = tabs[0].rootClass;
            break;
        case 5:
            tabs[0].title.clear();
            break;
        case 6:
            ScreenFactory::setFirstLaunch({});
            break;
        }
        if (breakage)
            ScreenFactory::setTabs(tabs);
        QCOMPARE(ScreenFactory::problems(), QStringList{problem});
        QTest::ignoreMessage(
            QtCriticalMsg,
            QRegularExpression("screen registration: " + QRegularExpression::escape(problem)));
        remember(false);
        launch();
    }

    void aTabWithoutAScreenKeepsItsPlace() {
        QList<ScreenFactory::Tab> tabs = ScreenFactory::tabs();
        tabs[1].maker = [] { return nullptr; };
        ScreenFactory::setTabs(tabs);
        remember(false);
        launch();
        QVERIFY(AppDelegate::makeTabBarRoot());
        auto *root = qobject_cast<RootTabbarController *>(tst_StartUp::root());
        root->loadViewIfNeeded();
        QCOMPARE(root->viewControllers().size(), 4);
        auto *stack = qobject_cast<NavigationController *>(root->viewControllers().at(1));
        QVERIFY(stack);
        QCOMPARE(stack->rootViewController()->title(), QStringLiteral("书城"));
        QCOMPARE(root->viewControllers().at(2)->findChild<BasicVC *>()->objectName(),
                 QStringLiteral("报表"));
    }

    // A crashed run's socket is taken over; a second start under the same settings then asks the
    // running client to raise its window and exits 0 once it has answered. Other settings folders
    // (every test's own) name other sockets.
    void oneClientPerSettingsFolder() {
        QTemporaryDir config;
        const QString name = SingleInstance::serverNameFor(config.path());
        QVERIFY(name != SingleInstance::serverNameFor(config.filePath("other")));
        const int crashed = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
        QCOMPARE(::bind(crashed, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(crashed);

        SingleInstance first(name);
        QCOMPARE(first.claim(), std::nullopt);
        QVERIFY(first.isListening());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        std::optional<int> code;
        const std::unique_ptr<QThread> second(
            QThread::create([&] { code = SingleInstance(name).claim(); }));
        second->start();
        QTRY_VERIFY(second->isFinished());
        QCOMPARE(code, 0);
        QCOMPARE(raised.size(), 1);
    }
};

const char *tst_StartUp::LoginAnswer =
    R"({"result":1,"msg":"登录成功","uid":101,"photo":"http://img/1.png","collectionNum":4,)"
    R"("classList":[{"ClassId":1}],"user":{"SchoolId":9,"UserName":"13800000001"}})";

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
