#include "ActionSheet.h"
#include "CataloguePath.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "personal/UserViewController.h"

#include <QBuffer>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QtTest>

// The personal centre on its own stack against the stub service: the head card, the menu, the
// photo sheet's routing and the upload.
class tst_UserViewController : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    ScreenTestFixture m_fixture{ScreenRegistration::registerAll};
    StubHttpServer &m_server = m_fixture.server();
    QTemporaryDir m_imageCache;
    NavigationController *m_stack = nullptr;
    UserViewController *m_user = nullptr;
    QList<PhotoPicker::Source> m_picked;
    const QString Path = TestCatalogue::pathOf("PhotoUpdate");

    // A one-colour PNG served at `name`; its URL.
    QString servePng(const QString &name, Qt::GlobalColor color) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(color);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        Answer answer = Answer::json(png.data());
        answer.contentType = "image/png";
        m_server.setAnswer(name, answer);
        return m_server.baseUrl() + name;
    }
    qsizetype uploads() const {
        const auto sent = m_server.requests();
        return std::count_if(sent.begin(), sent.end(), [this](auto &r) { return r.path == Path; });
    }
    QRgb photoColor() const {
        const QPixmap shown = m_user->headImageView()->pixmap();
        return shown.isNull() ? 0 : shown.toImage().pixel(0, 0);
    }

private slots:
    void initTestCase() { qputenv("TEACHER_CLIENT_CACHE_DIR", m_imageCache.path().toUtf8()); }
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp signedIn;
        signedIn.uid = 7;
        signedIn.user = UserInfo();
        signedIn.user->RealName = "王老师";
        signedIn.user->SchoolName = "晨曦小学";
        signedIn.user->ProvinceName = "浙江省";
        signedIn.user->CityName = "杭州市";
        signedIn.user->AreaName = "西湖区";
        signedIn.user->Photo = servePng("old.png", Qt::red);
        LoginState::applySignedIn(signedIn);
        m_stack = UserViewController::navigationControllerContainSelf();
        QVERIFY(m_fixture.show(m_stack));
        m_user = qobject_cast<UserViewController *>(m_stack->rootViewController());
        m_picked.clear();
        m_user->setPhotoSource({}, [this](ViewController *host, PhotoPicker::Source source,
                                          std::function<void(const QByteArray &)> done) {
            QCOMPARE(host, m_user);
            m_picked << source;
            done(QByteArray(100, '\xfb')); // Base64 with '+' and '/', past one MIME line
        });
    }
    void cleanup() {
        delete ActionSheet::current();
        m_fixture.closeWindow();
    }

    void headCardShowsTheSignedInTeacher() {
        QCOMPARE(m_user->userNameLabel()->text(), "王老师");
        QCOMPARE(m_user->userAreaLabel()->text(), "浙江省/杭州市/西湖区");
        QCOMPARE(m_user->userSchoolLabel()->text(), "晨曦小学");
        QTRY_COMPARE(photoColor(), QColor(Qt::red).rgb());
        QVERIFY(m_stack->isNavigationBarHidden());
    }

    // Clicked or reached by the keyboard, each row opens its screen with the bar shown; back on
    // the root the bar hides again.
    void menuRowPushesItsScreen_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<QString>("screen");
        QTest::newRow("profile") << 0 << false << "UserDetailVC";
        QTest::newRow("collection") << 1 << false << "MyCollectionVC";
        QTest::newRow("settings") << 2 << false << "SettingVC";
        QTest::newRow("settings by keys") << 2 << true << "SettingVC";
    }
    void menuRowPushesItsScreen() {
        QFETCH(int, row);
        QFETCH(bool, byKeyboard);
        QFETCH(QString, screen);
        QListView *menu = m_user->userTableView();
        if (byKeyboard) {
            menu->setFocus();
            for (int i = 0; i < row; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::mouseClick(menu->viewport(), Qt::LeftButton, {},
                              menu->visualRect(menu->model()->index(row, 0)).center());
        }
        m_stack->finishTransitions();
        QCOMPARE(m_stack->viewControllers().size(), 2);
        ViewController *top = m_stack->topViewController();
        QCOMPARE(top->metaObject()->className(), screen);
        QVERIFY(top->hidesBottomBarWhenPushed());
        QVERIFY(!m_stack->isNavigationBarHidden());
        m_stack->popViewController(false);
        QTRY_VERIFY(m_stack->isNavigationBarHidden());
    }

    void photoSheetRoutesToThePicker_data() {
        QTest::addColumn<bool>("camera");
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<PhotoPicker::Source>>("picked");
        using S = PhotoPicker::Source;
        QTest::newRow("take, camera") << true << 0 << QList<S>{S::Camera};
        QTest::newRow("take, no camera") << false << 0 << QList<S>{S::File};
        QTest::newRow("album, camera") << true << 1 << QList<S>{S::File};
        QTest::newRow("album, no camera") << false << 1 << QList<S>{S::File};
        QTest::newRow("cancel") << true << 2 << QList<S>{};
    }
    void photoSheetRoutesToThePicker() {
        QFETCH(bool, camera);
        QFETCH(int, button);
        QFETCH(QList<PhotoPicker::Source>, picked);
        m_user->setPhotoSource([camera] { return camera; }, {});
        m_server.setAnswer(Path, Answer::json(R"({"result":0})"));
        QTest::keyClick(m_user->headImageButton(), Qt::Key_Return);
        ActionSheet *sheet = ActionSheet::current();
        QVERIFY(sheet);
        QVERIFY(sheet->title().isEmpty());
        QCOMPARE(sheet->destructiveButtonIndex(), 0);
        QCOMPARE(sheet->buttonTitleAtIndex(button),
                 QStringList({"现在拍摄", "从相册选取", "取消"}).at(button));
        sheet->clickButton(button);
        QCOMPARE(m_picked, picked);
        QTRY_COMPARE(uploads(), picked.size());
    }

    // The picture goes up as the teacher's uid and Base64 on one line; only an accepted answer
    // with a photo URL changes the picture, and never the current login's.
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
        const QString oldUrl = *LoginRsp::shareRsp().user->Photo;
        QTRY_COMPARE(photoColor(), QColor(Qt::red).rgb());
        answer.replace("URL", servePng("new.png", Qt::blue).toUtf8());
        Answer slow = Answer::json(answer);
        slow.delayMs = 100;
        m_server.setAnswer(Path, slow);
        m_user->actionSheetClickedButtonAtIndex(UserViewController::PickFileButton);
        QVERIFY(ProgressHud::isVisible() && !ProgressHud::isBlocking());
        QTRY_VERIFY(!ProgressHud::isVisible());
        const auto sent = m_server.requests();
        const auto form = std::find_if(sent.rbegin(), sent.rend(), [this](auto &r) {
                              return r.path == Path;
                          })->form();
        QCOMPARE(form.value("uid"), "7");
        QCOMPARE(form.value("imagedata"), QString::fromLatin1(QByteArray(100, '\xfb').toBase64()));
        QVERIFY(!form.value("imagedata").contains('\n'));
        const QRgb expected = QColor(replaced ? Qt::blue : Qt::red).rgb();
        QTRY_COMPARE(photoColor(), expected);
        QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), toast);
        QCOMPARE(*LoginRsp::shareRsp().user->Photo, oldUrl);
    }
};

QTEST_MAIN(tst_UserViewController)
#include "tst_UserViewController.moc"
