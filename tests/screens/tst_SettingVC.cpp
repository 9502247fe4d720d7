#include "AccountFormHarness.h"
#include "CataloguePath.h"
#include "SettingsStore.h"
#include "personal/CoreMediaFuncManagerVC.h"
#include "personal/HelpServiceVC.h"
#include "personal/SettingModel.h"
#include "personal/SettingVC.h"
#include "personal/UserViewController.h"

#include <QListView>
#include <QPushButton>

namespace {
QStringList g_log;
void captureLog(QtMsgType, const QMessageLogContext &, const QString &message) {
    g_log << message;
}
} // namespace

// The settings menu, the sign-out up to the next start, and the help screen's call.
class tst_SettingVC : public QObject {
    Q_OBJECT
    AccountFormHarness h;
    UserViewController *m_user = nullptr;

    // The personal centre's stack with `screen` pushed the way the client pushes it.
    void open(ViewController *screen) {
        h.stack = UserViewController::navigationControllerContainSelf();
        m_user = qobject_cast<UserViewController *>(h.stack->rootViewController());
        QVERIFY(h.fixture.show(h.stack));
        m_user->pushToViewController(screen);
        h.stack->finishTransitions();
    }
    static void clickRow(QListView *list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }

private slots:
    void initTestCase() { qInstallMessageHandler(captureLog); }
    void init() {
        QVERIFY(h.reset());
        g_log.clear();
    }
    void cleanup() {
        CoreMediaFuncManagerVC::setUrlOpener({});
        h.close();
    }

    void settingsRowOpensItsScreen_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("screen");
        QTest::newRow("first: password") << 0 << "ChangePwdVC";
        QTest::newRow("second: phone") << 1 << "ChangePhoneVC";
        QTest::newRow("third: help") << 2 << "HelpServiceVC";
    }
    void settingsRowOpensItsScreen() {
        QFETCH(int, row);
        QFETCH(QString, screen);
        auto *settings = new SettingVC;
        open(settings);
        clickRow(settings->settingTableView(), row);
        h.stack->finishTransitions();
        QCOMPARE(h.stack->topViewController()->metaObject()->className(), screen);
    }

    // Signing out keeps the number and password without automatic sign-in, drops the upload
    // still in flight and shows the login screen filled in; the next start does not sign in.
    void signOutForgetsTheAutomaticSignIn_data() {
        QTest::addColumn<bool>("autoLoginBefore");
        QTest::newRow("auto-login was on") << true;
        QTest::newRow("auto-login was off") << false;
    }
    void signOutForgetsTheAutomaticSignIn() {
        QFETCH(bool, autoLoginBefore);
        QVERIFY(h.reset(autoLoginBefore));
        auto *settings = new SettingVC;
        open(settings);
        h.answer(TestCatalogue::pathOf("PhotoUpdate"), R"({"result":0,"msg":"迟到"})", 300);
        QSignalSpy received(&h.server, &StubHttpServer::requestReceived);
        m_user->updateTeacherPhotoActionWithImageData("jpeg");
        QVERIFY(received.wait(5000));

        QTest::keyClick(settings->loginOutButton(), Qt::Key_Return);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("13800000001", "secret", false));
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
        QVERIFY(!ProgressHud::isVisible());
        auto *stack =
            qobject_cast<NavigationController *>(AppWindow::instance()->rootViewController());
        auto *login =
            stack ? qobject_cast<LoginViewController *>(stack->rootViewController()) : nullptr;
        QVERIFY(login);
        QCOMPARE(login->userPwdTextField()->text(), "secret");

        // A sign-in answered after the upload's answer was due: its spinner stays until its own
        // answer, and the upload's refusal never shows.
        h.answer(TestCatalogue::pathOf("Login"), R"({"result":0})", 600);
        QTest::mouseClick(login->loginButton(), Qt::LeftButton);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
        QVERIFY(!Toast::isShowing());

        const int before = h.server.requests().size();
        stack = qobject_cast<NavigationController *>(h.launch());
        QVERIFY(stack && qobject_cast<LoginViewController *>(stack->rootViewController()));
        QCOMPARE(h.server.requests().size(), before);
    }

    void helpRowCallsOnlyTheLandline_data() {
        QTest::addColumn<QVariant>("landlineSetting");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("canOpen");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("dialled");
        QTest::addColumn<bool>("cannotCallLogged");
        const QString fallback = "0571-88886060转8001";
        QTest::newRow("hotline") << QVariant() << 0 << true << fallback << "" << false;
        QTest::newRow("landline") << QVariant() << 1 << true << fallback << "tel://0571-88886060"
                                  << false;
        QTest::newRow("no handler")
            << QVariant() << 1 << false << fallback << "tel://0571-88886060" << true;
        QTest::newRow("configured") << QVariant("010-1234转56") << 1 << true << "010-1234转56"
                                    << "tel://010-1234" << false;
        QTest::newRow("comma form")
            << QVariant(QStringList{"010-1234", " 56"}) << 1 << true << "010-1234转56"
            << "tel://010-1234" << false;
        QTest::newRow("no extension") << QVariant("010-1234") << 1 << true << "010-1234"
                                      << "tel://010-1234" << false;
        QTest::newRow("not a number")
            << QVariant("+86 10-1234") << 1 << true << fallback << "tel://0571-88886060" << false;
        QTest::newRow("bad extension")
            << QVariant("010-1234转x") << 1 << true << fallback << "tel://0571-88886060" << false;
    }
    void helpRowCallsOnlyTheLandline() {
        QFETCH(QVariant, landlineSetting);
        QFETCH(int, row);
        QFETCH(bool, canOpen);
        QFETCH(QString, label);
        QFETCH(QString, dialled);
        QFETCH(bool, cannotCallLogged);
        if (landlineSetting.isValid())
            SettingsStore::settings().setValue(ServiceNumbers::LandlineKey, landlineSetting);
        QStringList opened;
        CoreMediaFuncManagerVC::setUrlOpener([&](const QUrl &url) {
            opened << url.toString();
            return canOpen;
        });
        auto *help = new HelpServiceVC;
        open(help);
        QCOMPARE(help->helpServiceArray().value(1).settingName, label);
        clickRow(help->helpServiceTableView(), row);
        QCOMPARE(opened.join(' '), dialled);
        QCOMPARE(g_log.contains("不能打"), cannotCallLogged);
        const bool placed = !dialled.isEmpty() && canOpen;
        QCOMPARE(help->findChildren<CoreMediaFuncManagerVC *>().size(), placed ? 1 : 0);
        h.stack->popViewController(false);
        QTRY_COMPARE(g_log.contains("CoreMediaFuncManagerVC被释放"), placed);
    }
};

QTEST_MAIN(tst_SettingVC)
#include "tst_SettingVC.moc"
