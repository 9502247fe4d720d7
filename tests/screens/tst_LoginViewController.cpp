#include "AppWindow.h"
#include "CataloguePath.h"
#include "LoginState.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "RootTabbarController.h"
#include "ScreenFactory.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "Tags.h"
#include "Toast.h"
#include "UnitMetiodManager.h"
#include "account/BindViewController.h"
#include "account/ForgetPwdVC.h"
#include "account/LoginViewController.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The login screen against the stub service, and the screens it and the tab bar are made of.
class tst_LoginViewController : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture{ScreenRegistration::registerAll};
    StubHttpServer &m_server = m_fixture.server();
    QPointer<NavigationController> m_stack;
    QPointer<LoginViewController> m_login;

    inline static const QString Path = TestCatalogue::pathOf(Operation::Login);

    AppWindow *window() const { return m_fixture.window(); }

    void open() {
        m_stack = LoginViewController::navigationControllerContainSelf();
        QVERIFY(m_fixture.show(m_stack));
        m_login = qobject_cast<LoginViewController *>(m_stack->rootViewController());
        QVERIFY(m_login);
        QVERIFY(m_login->isViewLoaded());
    }

    void type(const QString &user, const QString &password) {
        m_login->userNameTextField()->setText(user);
        m_login->userPwdTextField()->setText(password);
    }

    void answer(const QByteArray &json, int delayMs = 0) {
        m_server.setAnswer(Path, {.body = json, .delayMs = delayMs});
    }

    // Taps the sign-in button and waits until the answer has been handled.
    void signIn() {
        const int before = m_server.requests().size();
        QTest::mouseClick(m_login->loginButton(), Qt::LeftButton);
        // At least one: the network layer may resend a POST whose connection dropped.
        QTRY_VERIFY(m_server.requests().size() > before);
        m_fixture.settle();
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        // The home tab loads its classes and collection as soon as the tabs are made.
        for (Operation home : {Operation::GetMyClassForTeacher, Operation::GetTeacherCollections})
            m_fixture.server().setAnswer(TestCatalogue::pathOf(home),
                                         StubHttpServer::Answer::json(StubAnswers::ok()));
        open();
    }

    void emptyFieldsAreNamedAndNothingIsSent_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("toast");
        QTest::newRow("both empty: only the user name") << QString() << QString() << "请输入用户名";
        QTest::newRow("user name empty") << QString() << "123456"
                                         << "请输入用户名";
        QTest::newRow("password empty") << "13800000001" << QString() << "请输入密码";
    }

    void emptyFieldsAreNamedAndNothingIsSent() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, toast);
        type(user, password);
        QTest::mouseClick(m_login->loginButton(), Qt::LeftButton);
        QCOMPARE(Toast::currentText(), toast);
        // A request always raises the blocking indicator first.
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_login->userNameTextField()->text(), user);
        QCOMPARE(m_login->userPwdTextField()->text(), password);
    }

    void signInSendsTheTextsAsTypedUnderABlockingIndicator() {
        answer(StubAnswers::refused("m"), 300);
        type("  138 0000 0001 ", " pass word ");
        QTest::mouseClick(m_login->loginButton(), Qt::LeftButton);
        QVERIFY(ProgressHud::isVisible());
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在登录"));
        QTRY_VERIFY(!ProgressHud::isVisible());
        const auto form = m_server.lastRequest().form();
        QCOMPARE(form.value("userName"), QStringLiteral("  138 0000 0001 "));
        QCOMPARE(form.value("password"), QStringLiteral(" pass word "));
        QCOMPARE(m_server.lastRequest().path, QString(Path));
    }

    void signedInReplacesTheLoginStackWithTheTabs() {
        answer(R"({"result":1,"msg":"ok","uid":77,"photo":"p.png","collectionNum":2,)"
               R"("classList":[1],"user":{"RealName":"王老师","Mobile":13800000001}})");
        type("13800000001", "123456");
        signIn();
        auto *tabs = qobject_cast<RootTabbarController *>(window()->rootViewController());
        QVERIFY(tabs);
        const LoginRsp &current = LoginRsp::shareRsp();
        QVERIFY(current.isLogin);
        QCOMPARE(current.uid, 77);
        QCOMPARE(current.photo, QStringLiteral("p.png"));
        QCOMPARE(current.collectionNum, 2);
        QCOMPARE(current.user->RealName, QStringLiteral("王老师"));
        QVERIFY(!current.classList);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("13800000001", "123456", true));
        QVERIFY(!Toast::isShowing());
        // The old stack and the login screen go.
        QTRY_VERIFY(m_login.isNull());
        QVERIFY(m_stack.isNull());

        tabs->loadViewIfNeeded();
        QCOMPARE(tabs->viewControllers().size(), ScreenFactory::tabs().size());
    }

    void bindingRequiredPushesTheBindingScreen() {
        answer(R"({"result":2,"msg":"请先绑定手机","uid":55,"photo":"p.png","collectionNum":3})");
        type("13800000002", "123456");
        signIn();
        QCOMPARE(LoginRsp::shareRsp().uid, 55);
        QVERIFY(!LoginRsp::shareRsp().isLogin);
        QVERIFY(!LoginRsp::shareRsp().photo);
        QCOMPARE(LoginRsp::shareRsp().collectionNum, 0);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), std::nullopt);
        QVERIFY(!Toast::isShowing());
        QTRY_COMPARE(m_stack->viewControllers().size(), 2);
        auto *bind = qobject_cast<BindViewController *>(m_stack->topViewController());
        QVERIFY(bind);
        QTRY_COMPARE(bind->title(), QStringLiteral("绑定手机"));
        QCOMPARE(m_stack->viewControllers().first(), m_login.data());
        QVERIFY(!m_stack->isNavigationBarHidden());

        // Confirming the binding signs in again by itself with the same texts.
        answer(StubAnswers::signedIn(55));
        NotificationCenter::post(NOTIFICATION_UPDATE_LOGIN);
        QVERIFY(ProgressHud::isBlocking());
        QTRY_VERIFY(qobject_cast<RootTabbarController *>(window()->rootViewController()));
        // The tabs start loading the home at once: only the sign-ins count here.
        const auto signIns = m_server.requestsTo(Path);
        QCOMPARE(signIns.size(), 2);
        QCOMPARE(signIns.last().form().value("userName"), QStringLiteral("13800000002"));
        QVERIFY(LoginRsp::shareRsp().isLogin);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword()->loginPhoneNum,
                 QStringLiteral("13800000002"));
    }

    void refusalsLeaveEverythingAsItWas_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("toast");
        QTest::newRow("result 0 shows msg") << StubAnswers::refused("密码错误") << "密码错误";
        QTest::newRow("result 0 without msg") << QByteArray(R"({"result":0})") << "";
        QTest::newRow("other result: nothing")
            << QByteArray(R"({"result":3,"msg":"别显示"})") << "";
        QTest::newRow("answer without a value") << QByteArray("") << "";
    }

    void refusalsLeaveEverythingAsItWas() {
        QFETCH(QByteArray, json);
        QFETCH(QString, toast);
        const auto remembered = LoginDataModel::rememberLoginPhoneNum("1", "2", false);
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(remembered);
        LoginRsp::shareRsp().uid = 9;
        answer(json);
        type("13800000001", "wrong");
        signIn();
        QCOMPARE(Toast::isShowing(), !toast.isEmpty());
        if (!toast.isEmpty())
            QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(window()->rootViewController(), m_stack.data());
        QCOMPARE(m_stack->viewControllers().size(), 1);
        QCOMPARE(m_login->userNameTextField()->text(), QStringLiteral("13800000001"));
        QCOMPARE(m_login->userPwdTextField()->text(), QStringLiteral("wrong"));
        QCOMPARE(LoginRsp::shareRsp().uid, 9);
        QVERIFY(!LoginRsp::shareRsp().isLogin);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), remembered);
    }

    void transportFailureLetsTheTeacherTryAgain() {
        m_server.setAnswer(Path, StubHttpServer::Answer::dropped());
        type("13800000001", "123456");
        signIn();
        QCOMPARE(Toast::currentText(), QStringLiteral("无网络连接"));
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_login->userNameTextField()->text(), QStringLiteral("13800000001"));
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), std::nullopt);
        // The button works again at once.
        QVERIFY(m_login->loginButton()->isEnabled());
        answer(StubAnswers::signedIn(1));
        signIn();
        QTRY_VERIFY(qobject_cast<RootTabbarController *>(window()->rootViewController()));
    }

    void forgotPasswordPushesItsScreenWithTheBar() {
        QTest::mouseClick(m_login->forgetButton(), Qt::LeftButton);
        QCOMPARE(m_stack->viewControllers().size(), 2);
        auto *forget = qobject_cast<ForgetPwdVC *>(m_stack->topViewController());
        QVERIFY(forget);
        m_stack->finishTransitions();
        QVERIFY(!m_stack->isNavigationBarHidden());
        QCOMPARE(forget->title(), QStringLiteral("忘记密码"));
        QVERIFY(forget->leftBarButton()); // the frame's back button
        m_stack->popViewController(false);
        m_stack->finishTransitions();
        QTRY_VERIFY(m_stack->isNavigationBarHidden());
        QVERIFY(!m_server.requests().size());
    }

    void lateAnswerAfterTheScreenIsGone() {
        answer(R"({"result":2,"msg":"绑定","uid":55})", 300);
        type("13800000001", "123456");
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        QTest::mouseClick(m_login->loginButton(), Qt::LeftButton);
        QVERIFY(received.wait(5000));
        // The root changes under the call: the login screen and its stack are destroyed.
        auto *other = new BasicVC;
        window()->setRootViewController(other);
        QTRY_VERIFY(m_login.isNull());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(window()->rootViewController(), other);
        QCOMPARE(LoginRsp::shareRsp().uid, 0);
        QVERIFY(!Toast::isShowing());
    }

    // The program's registration is complete, and every tab's stack has its declared root.
    void registrationBuildsEveryTab() {
        QCOMPARE(ScreenFactory::problems(), QStringList());
        const QList<ScreenFactory::Tab> &tabs = ScreenFactory::tabs();
        for (int i = 0; i < tabs.size(); ++i) {
            auto *stack = qobject_cast<NavigationController *>(ScreenFactory::makeTab(i));
            QVERIFY(stack);
            window()->setRootViewController(stack);
            ViewController *screen = stack->rootViewController();
            QVERIFY(screen->metaObject()->inherits(tabs.at(i).rootClass));
            QTRY_VERIFY(screen->isViewLoaded());
            QCOMPARE(screen->title(), tabs.at(i).title);
            // A tab root never shows a back button.
            QVERIFY(!screen->leftBarButton());
        }
    }
};

QTEST_MAIN(tst_LoginViewController)
#include "tst_LoginViewController.moc"
