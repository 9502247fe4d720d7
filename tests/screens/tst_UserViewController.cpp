#include "AccountFormHarness.h"
#include "ActionSheet.h"
#include "CataloguePath.h"
#include "Language.h"
#include "SettingsStore.h"
#include "personal/CoreMediaFuncManagerVC.h"
#include "personal/HelpServiceVC.h"
#include "personal/SettingModel.h"
#include "personal/SettingRows.h"
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
    const QString Path = TestCatalogue::pathOf(Operation::PhotoUpdate);

    // A one-colour PNG served at `name`; its URL.
    QString servePng(const QString &name, Qt::GlobalColor color) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(color);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        h.server.setAnswer(name, {.contentType = "image/png", .body = png.data()});
        return h.server.baseUrl() + name;
    }
    QList<QHash<QString, QString>> uploads() const {
        QList<QHash<QString, QString>> forms;
        for (const auto &request : h.server.requestsTo(Path))
            forms << request.form();
        return forms;
    }
    QRgb photoColor() const {
        const QPixmap shown = m_user->headImageView()->pixmap();
        return shown.isNull() ? 0 : shown.toImage().pixel(0, 0);
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
        LoginRsp::shareRsp().user->Photo = servePng("old.png", Qt::red);
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
        h.close();
    }

    // A centre row (clicked, or by the keys), then a settings row when one is given.
    void menuRowPushesItsScreen_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<int>("settingsRow");
        QTest::addColumn<QString>("screen");
        QTest::newRow("profile") << 0 << false << -1 << "UserDetailVC";
        QTest::newRow("collection") << 1 << false << -1 << "MyCollectionVC";
        QTest::newRow("settings by keys") << 2 << true << 0 << "ChangePwdVC";
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
    }

    // Taking a photo needs a camera; without one it is picked from a file.
    void photoSheetRoutesToThePicker() {
        h.answer(Path, R"({"result":0})");
        for (const bool camera : {true, false}) {
            m_user->setPhotoSource([camera] { return camera; }, {});
            QTest::keyClick(m_user->headImageButton(), Qt::Key_Return);
            ActionSheet::current()->clickButton(0);
        }
        QCOMPARE(m_picked, (QList{Source::Camera, Source::File}));
    }

    // A new picture goes up as the teacher's uid and Base64 on one line; the answer's photo URL
    // replaces the picture, never the current login's.
    void uploadAnswerDecidesThePhoto() {
        QTRY_COMPARE(photoColor(), QColor(Qt::red).rgb());
        h.answer(Path, QByteArray(R"({"result":1,"photo":"URL"})")
                           .replace("URL", servePng("new.png", Qt::blue).toUtf8()));
        m_user->actionSheetClickedButtonAtIndex(UserViewController::PickFileButton);
        QTRY_COMPARE(photoColor(), QColor(Qt::blue).rgb());
        QCOMPARE(uploads().value(0).value("uid"), "7");
        QCOMPARE(uploads().value(0).value("imagedata"), QByteArray(100, '\xfb').toBase64());
        QCOMPARE(LoginRsp::shareRsp().user->Photo, h.server.baseUrl() + "old.png");
    }

    // Signing out keeps the number and password without automatic sign-in and drops the upload
    // still in flight.
    void signOutForgetsTheAutomaticSignIn() {
        auto *settings = new SettingVC;
        m_user->pushToViewController(settings);
        h.answer(Path, StubAnswers::refused("迟到"), 300);
        m_user->updateTeacherPhotoActionWithImageData("jpeg");
        QTRY_COMPARE(uploads().size(), 1);

        QTest::keyClick(settings->loginOutButton(), Qt::Key_Return);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("13800000001", "secret", false));
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
        LoginViewController *login = h.loginOnTop();

        // A sign-in answered after the upload's answer was due: its spinner stays until its own
        // answer, and the upload's refusal never shows.
        h.answer(TestCatalogue::pathOf(Operation::Login), R"({"result":0})", 600);
        QTest::mouseClick(login->loginButton(), Qt::LeftButton);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }

    // The hotline row calls nothing; the landline row dials the configured number without the
    // extension, as "tel:" and the number: an all-digit one must not turn into an address.
    void helpRowCallsOnlyTheLandline_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("landline");
        QTest::addColumn<bool>("canOpen");
        QTest::addColumn<QString>("dialled");
        const QString landline = "0571-88886060转8001";
        QTest::newRow("hotline") << 0 << landline << true << "";
        QTest::newRow("landline") << 1 << landline << true << "tel:0571-88886060";
        QTest::newRow("no handler") << 1 << landline << false << "tel:0571-88886060";
        QTest::newRow("all digits") << 1 << "88886060" << true << "tel:88886060";
    }
    void helpRowCallsOnlyTheLandline() {
        QFETCH(int, row);
        QFETCH(bool, canOpen);
        QFETCH(QString, landline);
        SettingsStore::settings().setValue(ServiceNumbers::LandlineKey, landline);
        QStringList opened;
        CoreMediaFuncManagerVC::setUrlOpener([&](const QUrl &url) {
            opened << url.toString();
            return canOpen;
        });
        auto *help = new HelpServiceVC;
        m_user->pushToViewController(help);
        h.stack->finishTransitions();
        clickRow(help->helpServiceTableView(), row);
        QTEST(opened.join(' '), "dialled");
        QCOMPARE(g_log.contains("不能打"), !canOpen);
    }

    // The language row's sheet: English is remembered and shown on the row; following the
    // system forgets the choice. Last, and back to Chinese after, for the texts other cases read.
    void languageRowRemembersTheChoice() {
        auto *settings = new SettingVC;
        m_user->pushToViewController(settings);
        h.stack->finishTransitions();
        const QModelIndex row = settings->settingTableView()->model()->index(3, 0);
        const auto pick = [settings](int button) {
            clickRow(settings->settingTableView(), 3);
            ActionSheet::current()->clickButton(button);
        };
        pick(SettingVC::EnglishButton);
        QCOMPARE(Language::chosen(), Language::Choice::English);
        QCOMPARE(SettingsStore::settings().value(Language::SettingsKey).toString(), "en");
        QCOMPARE(row.data(SettingRows::SubNameRole).toString(), "English");
        // At once, on the screen the teacher is on: its title and its rows.
        QTRY_COMPARE(settings->title(), "Settings");
        QCOMPARE(row.model()->index(0, 0).data().toString(), "Change password");
        pick(SettingVC::FollowSystemButton);
        QVERIFY(!SettingsStore::settings().contains(Language::SettingsKey));
        QCOMPARE(row.data(SettingRows::SubNameRole).toString(),
                 SettingVC::languageChoiceName(Language::Choice::System));
        Language::setOverride(Language::Spoken::Chinese);
        Language::apply();
        Language::setOverride(std::nullopt);
    }
};

QTEST_MAIN(tst_UserViewController)
#include "tst_UserViewController.moc"
