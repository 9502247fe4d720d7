#include "AccountFormHarness.h"
#include "ActionSheet.h"
#include "CataloguePath.h"
#include "SettingsStore.h"
#include "personal/CoreMediaFuncManagerVC.h"
#include "personal/HelpServiceVC.h"
#include "personal/SettingModel.h"
#include "personal/SettingVC.h"
#include "personal/UserViewController.h"

#include <QBuffer>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace {
QStringList g_log;
void captureLog(QtMsgType, const QMessageLogContext &, const QString &line) {
    g_log << line;
}
} // namespace

// The personal centre, its settings and help, on the centre's own stack against the stub
// service: menus, the photo sheet and upload, sign-out up to the next start, the help call.
class tst_UserViewController : public QObject {
    Q_OBJECT
    using Source = PhotoPicker::Source;
    AccountFormHarness h;
    QTemporaryDir m_imageCache;
    UserViewController *m_user = nullptr;
    QList<Source> m_picked;
    const QString Path = TestCatalogue::pathOf("PhotoUpdate");

    // A one-colour PNG served at `name`; its URL.
    QString servePng(const QString &name, Qt::GlobalColor color) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(color);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        StubHttpServer::Answer answer = StubHttpServer::Answer::json(png.data());
        answer.contentType = "image/png";
        h.server.setAnswer(name, answer);
        return h.server.baseUrl() + name;
    }
    QList<QHash<QString, QString>> uploads() const {
        QList<QHash<QString, QString>> forms;
        for (const auto &request : h.server.requests())
            if (request.path == Path)
                forms << request.form();
        return forms;
    }
    QRgb photoColor() const {
        const QPixmap shown = m_user->headImageView()->pixmap();
        return shown.isNull() ? 0 : shown.toImage().pixel(0, 0);
    }
    template <class Screen> Screen *push() {
        auto *screen = new Screen;
        m_user->pushToViewController(screen);
        h.stack->finishTransitions();
        return screen;
    }
    static void clickRow(QListView *list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }

private slots:
    void initTestCase() {
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_imageCache.path().toUtf8());
        qInstallMessageHandler(captureLog);
    }
    void init() {
        QVERIFY(h.reset());
        g_log.clear();
        UserInfo &user = *LoginRsp::shareRsp().user;
        std::tie(user.RealName, user.SchoolName, user.ProvinceName, user.CityName, user.AreaName) =
            std::tuple("王老师", "晨曦小学", "浙江省", "杭州市", "西湖区");
        user.Photo = servePng("old.png", Qt::red);
        h.stack = UserViewController::navigationControllerContainSelf();
        m_user = qobject_cast<UserViewController *>(h.stack->rootViewController());
        QVERIFY(h.fixture.show(h.stack));
        m_picked.clear();
        m_user->setPhotoSource({}, [this](ViewController *host, Source source, auto done) {
            QCOMPARE(host, m_user);
            m_picked << source;
            done(QByteArray(100, '\xfb')); // Base64 with '+' and '/', past one MIME line
        });
    }
    void cleanup() {
        delete ActionSheet::current();
        CoreMediaFuncManagerVC::setUrlOpener({});
        h.close();
    }

    // A centre row (clicked, or by the keys), then a settings row when one is given. The centre
    // pushes with the bar shown and the tab bar hidden; back on the root the bar hides again.
    void menuRowPushesItsScreen_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<int>("settingsRow");
        QTest::addColumn<QString>("screen");
        QTest::newRow("profile") << 0 << false << -1 << "UserDetailVC";
        QTest::newRow("collection") << 1 << false << -1 << "MyCollectionVC";
        QTest::newRow("settings by keys") << 2 << true << -1 << "SettingVC";
        QTest::newRow("settings 1st: password") << 2 << false << 0 << "ChangePwdVC";
        QTest::newRow("settings 2nd: phone") << 2 << false << 1 << "ChangePhoneVC";
        QTest::newRow("settings 3rd: help") << 2 << false << 2 << "HelpServiceVC";
    }
    void menuRowPushesItsScreen() {
        QFETCH(int, row);
        QFETCH(bool, byKeyboard);
        QFETCH(int, settingsRow);
        QFETCH(QString, screen);
        QListView *menu = m_user->userTableView();
        for (int i = 0; i < row && byKeyboard; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        byKeyboard ? QTest::keyClick(menu, Qt::Key_Return) : clickRow(menu, row);
        h.stack->finishTransitions();
        if (auto *settings = qobject_cast<SettingVC *>(h.stack->topViewController());
            settingsRow >= 0 && settings) {
            clickRow(settings->settingTableView(), settingsRow);
            h.stack->finishTransitions();
        }
        QCOMPARE(h.stack->topViewController()->metaObject()->className(), screen);
        QVERIFY(h.stack->viewControllers().at(1)->hidesBottomBarWhenPushed());
        QVERIFY(!h.stack->isNavigationBarHidden());
        h.stack->popToRootViewController(false);
        QTRY_VERIFY(h.stack->isNavigationBarHidden());
    }

    void photoSheetRoutesToThePicker_data() {
        QTest::addColumn<bool>("camera");
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<Source>>("picked");
        QTest::newRow("take, camera") << true << 0 << QList{Source::Camera};
        QTest::newRow("take, no camera") << false << 0 << QList{Source::File};
        QTest::newRow("album, camera") << true << 1 << QList{Source::File};
        QTest::newRow("album, no camera") << false << 1 << QList{Source::File};
        QTest::newRow("cancel") << true << 2 << QList<Source>{};
    }
    void photoSheetRoutesToThePicker() {
        QFETCH(bool, camera);
        QFETCH(int, button);
        QFETCH(QList<Source>, picked);
        m_user->setPhotoSource([camera] { return camera; }, {});
        h.answer(Path, R"({"result":0})");
        QTest::keyClick(m_user->headImageButton(), Qt::Key_Return);
        ActionSheet *sheet = ActionSheet::current();
        QVERIFY(sheet && sheet->title().isEmpty() && sheet->destructiveButtonIndex() == 0);
        sheet->clickButton(button);
        QCOMPARE(m_picked, picked);
        QTRY_COMPARE(uploads().size(), picked.size());
    }

    // The head card shows the login's teacher. A new picture goes up as the teacher's uid and
    // Base64 on one line; only an accepted answer with a photo URL changes the picture, and never
    // the current login's.
    void uploadAnswerDecidesThePhoto_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("toast");
        QTest::newRow("accepted") << QByteArray(R"({"result":1,"photo":"URL"})") << true << "";
        QTest::newRow("accepted, no URL") << QByteArray(R"({"result":1})") << false << "";
        QTest::newRow("refused") << QByteArray(R"({"result":0,"msg":"太大"})") << false << "太大";
    }
    void uploadAnswerDecidesThePhoto() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, replaced);
        QFETCH(QString, toast);
        QCOMPARE(m_user->userNameLabel()->text(), "王老师");
        QCOMPARE(m_user->userAreaLabel()->text(), "浙江省/杭州市/西湖区");
        QCOMPARE(m_user->userSchoolLabel()->text(), "晨曦小学");
        QTRY_COMPARE(photoColor(), QColor(Qt::red).rgb());
        h.answer(Path, answer.replace("URL", servePng("new.png", Qt::blue).toUtf8()), 100);
        m_user->actionSheetClickedButtonAtIndex(UserViewController::PickFileButton);
        QVERIFY(ProgressHud::isVisible() && !ProgressHud::isBlocking());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(uploads().value(0).value("uid"), "7");
        QCOMPARE(uploads().value(0).value("imagedata"), QByteArray(100, '\xfb').toBase64());
        QTRY_COMPARE(photoColor(), QColor(replaced ? Qt::blue : Qt::red).rgb());
        QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), toast);
        QCOMPARE(LoginRsp::shareRsp().user->Photo, h.server.baseUrl() + "old.png");
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
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800000001", "secret", autoLoginBefore));
        auto *settings = push<SettingVC>();
        h.answer(Path, R"({"result":0,"msg":"迟到"})", 300);
        m_user->updateTeacherPhotoActionWithImageData("jpeg");
        QTRY_COMPARE(uploads().size(), 1);

        QTest::keyClick(settings->loginOutButton(), Qt::Key_Return);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("13800000001", "secret", false));
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
        QVERIFY(!ProgressHud::isVisible());
        auto *stack =
            qobject_cast<NavigationController *>(AppWindow::instance()->rootViewController());
        auto *login = qobject_cast<LoginViewController *>(stack->rootViewController());
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
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("canOpen");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("dialled");
        const QString fallback = "0571-88886060转8001", tel = "tel://0571-88886060";
        QTest::newRow("hotline") << QVariant() << 0 << true << fallback << "";
        QTest::newRow("landline") << QVariant() << 1 << true << fallback << tel;
        QTest::newRow("no handler") << QVariant() << 1 << false << fallback << tel;
        QTest::newRow("configured") << QVariant("010-1234转56") << 1 << true << "010-1234转56"
                                    << "tel://010-1234";
        QTest::newRow("comma form")
            << QVariant(QStringList{"010-1234", " 56"}) << 1 << true << "010-1234转56"
            << "tel://010-1234";
        QTest::newRow("not a number") << QVariant("+86 10-1234") << 1 << true << fallback << tel;
        QTest::newRow("bad extension") << QVariant("010-1234转x") << 1 << true << fallback << tel;
    }
    void helpRowCallsOnlyTheLandline() {
        QFETCH(QVariant, setting);
        QFETCH(int, row);
        QFETCH(bool, canOpen);
        QFETCH(QString, label);
        QFETCH(QString, dialled);
        if (setting.isValid())
            SettingsStore::settings().setValue(ServiceNumbers::LandlineKey, setting);
        QStringList opened;
        CoreMediaFuncManagerVC::setUrlOpener([&](const QUrl &url) {
            opened << url.toString();
            return canOpen;
        });
        auto *help = push<HelpServiceVC>();
        QCOMPARE(help->helpServiceArray().value(1).settingName, label);
        clickRow(help->helpServiceTableView(), row);
        QCOMPARE(opened.join(' '), dialled);
        QCOMPARE(g_log.contains("不能打"), !canOpen);
        const bool placed = !dialled.isEmpty() && canOpen;
        QCOMPARE(help->findChildren<CoreMediaFuncManagerVC *>().size(), placed ? 1 : 0);
        h.stack->popViewController(false);
        QTRY_COMPARE(g_log.contains("CoreMediaFuncManagerVC被释放"), placed);
    }
};

QTEST_MAIN(tst_UserViewController)
#include "tst_UserViewController.moc"
