#include "AppWindow.h"
#include "ImageLoader.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "StubHttpServer.h"
#include "Toast.h"
#include "reflections/GradeAlertView.h"
#include "reflections/GradeDetailVC.h"
#include "reflections/PictureBrowser.h"
#include "reflections/PictureGrid.h"

#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

// The review screen against the stub service: what it loads and shows in each mode, the grading
// dialog and what each of its ways out sends, and the picture browser.
class tst_GradeDetailVC : public QObject {
    Q_OBJECT

    StubHttpServer m_server;
    QTemporaryDir m_cache;
    std::unique_ptr<AppWindow> m_window;
    QPointer<NavigationController> m_stack;
    QPointer<GradeDetailVC> m_screen;
    int m_serial = 0;

    static constexpr const char *LoadPath = "Mobile/GetSingleFeel";
    static constexpr const char *GradePath = "Mobile/UpdateFeel";

    static StubHttpServer::Answer png(QSize size, int delayMs = 0) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        StubHttpServer::Answer answer;
        QBuffer buffer(&answer.body);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        answer.contentType = QByteArray("image/png");
        answer.delayMs = delayMs;
        return answer;
    }

    // `count` picture URLs that no earlier test asked for; each has a thumbnail and a full picture.
    QStringList pictures(int count) {
        QStringList urls;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("img/feel/%1_thumbnail.png").arg(++m_serial);
            m_server.setAnswer(name, png({160, 120}));
            urls << m_server.baseUrl() + name;
        }
        return urls;
    }

    static QByteArray feelJson(const QString &grade, const QStringList &urls) {
        QJsonObject feel{{"Content", "读了这本书我很开心。"},
                         {"FeelTypeStr", grade},
                         {"ImgageUrlList", QJsonArray::fromStringList(urls)}};
        return QJsonDocument(QJsonObject{{"result", 1}, {"feel", feel}}).toJson();
    }

    int countOf(const char *path) const {
        int n = 0;
        for (const auto &request : m_server.requests())
            n += request.path == QLatin1String(path);
        return n;
    }

    QHash<QString, QString> lastFormOf(const char *path) const {
        QHash<QString, QString> form;
        for (const auto &request : m_server.requests()) {
            if (request.path == QLatin1String(path))
                form = request.form();
        }
        return form;
    }

    void open(int detailType, qint64 feelId = 31) {
        m_screen = new GradeDetailVC;
        m_screen->setFeelId(feelId);
        m_screen->setDetailType(detailType);
        m_stack->pushViewController(m_screen, false);
        QVERIFY(m_screen->isViewLoaded());
    }

    void openLoaded(int detailType, const QByteArray &json) {
        m_server.setAnswer(LoadPath, StubHttpServer::Answer::json(json));
        open(detailType);
        QTRY_VERIFY(m_screen->feelRsp().has_value());
    }

    // Confirms the dialog that the grading button opens, after tapping `grade` when given.
    void grade(QPushButton *(GradeShowView::*button)() const) {
        const int before = countOf(GradePath);
        QTest::mouseClick(m_screen->rightButton(), Qt::LeftButton);
        GradeAlertView *dialog = GradeAlertView::current();
        QVERIFY(dialog);
        if (button)
            QTest::mouseClick((dialog->panel()->*button)(), Qt::LeftButton);
        QTest::mouseClick(dialog->panel()->decideButton(), Qt::LeftButton);
        // At least one: the network layer may resend a POST whose connection dropped.
        QTRY_VERIFY(countOf(GradePath) > before);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_server.start());
        qputenv("TEACHER_SERVICE_URL", m_server.baseUrl().toUtf8());
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_cache.path().toUtf8());
    }

    void init() {
        LoginState::reset();
        LoginRsp::shareRsp().uid = 7;
        m_server.clearRequests();
        m_window = std::make_unique<AppWindow>();
        m_window->resize(375, 667);
        m_stack = new NavigationController(new BasicVC);
        m_window->setRootViewController(m_stack);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() {
        m_window.reset();
        Toast::hide();
        ProgressHud::dismiss();
        QTRY_VERIFY(!GradeAlertView::current());
    }

    void showsTheReflectionByMode_data() {
        QTest::addColumn<int>("detailType");
        QTest::addColumn<QString>("grade");
        QTest::addColumn<int>("pictureCount");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("read-only excellent, three a row")
            << 200 << "优秀" << 3 << 3 << "grade_big_excellent";
        QTest::newRow("read-only good, four make a square")
            << 200 << "良好" << 4 << 2 << "grade_big_good";
        QTest::newRow("read-only pass, five") << 200 << "合格" << 5 << 3 << "grade_big_pass";
        QTest::newRow("read-only fail") << 200 << "不合格" << 1 << 3 << "grade_big_fair";
        QTest::newRow("read-only, unknown grade, no pictures")
            << 200 << "还没想好" << 0 << 3 << "grade_big_fair";
        QTest::newRow("grading: no stamp") << 201 << "待批阅" << 2 << 3 << "";
    }

    void showsTheReflectionByMode() {
        QFETCH(int, detailType);
        QFETCH(QString, grade);
        QFETCH(int, pictureCount);
        QFETCH(int, columns);
        QFETCH(QString, stamp);
        const QStringList urls = pictures(pictureCount);
        openLoaded(detailType, feelJson(grade, urls));
        QCOMPARE(lastFormOf(LoadPath), (QHash<QString, QString>{{"feelId", "31"}}));
        QCOMPARE(m_screen->title(), QStringLiteral("详情"));
        QCOMPARE(m_screen->contentLabel()->toPlainText(), QStringLiteral("读了这本书我很开心。"));
        QVERIFY(m_screen->contentLabel()->isReadOnly());
        PictureGrid *grid = m_screen->photosGroup();
        QCOMPARE(grid->pictureItems().size(), pictureCount);
        QCOMPARE(grid->columnCount(), columns);
        for (int i = 0; i < pictureCount; ++i) {
            QCOMPARE(grid->pictureItems().at(i).thumbnailUrl, urls.at(i));
            QTRY_VERIFY(!grid->thumbnailAt(i)->image().isNull());
        }
        QCOMPARE(m_screen->gradeImageName(), stamp);
        QCOMPARE(m_screen->gradeImageView()->isVisible(), !stamp.isEmpty());
        QCOMPARE(m_screen->rightButton() != nullptr, detailType == 201);
        QCOMPARE(m_screen->rightBarButton() != nullptr, detailType == 201);
        QVERIFY(!ProgressHud::isVisible());
    }

    void loadRefusedOrFailedLeavesTheScreenEmpty_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<bool>("answerKept");
        QTest::newRow("refusal") << StubHttpServer::Answer::json(
                                        R"({"result":0,"msg":"没有这篇读后感",)"
                                        R"("feel":{"Content":"不该显示"}})")
                                 << "没有这篇读后感" << true;
        QTest::newRow("transport failure")
            << StubHttpServer::Answer::dropped() << "无网络连接" << false;
    }

    void loadRefusedOrFailedLeavesTheScreenEmpty() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        QFETCH(bool, answerKept);
        m_server.setAnswer(LoadPath, answer);
        open(201);
        QTRY_COMPARE(Toast::currentText(), toast);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_screen->feelRsp().has_value(), answerKept);
        QVERIFY(m_screen->contentLabel()->toPlainText().isEmpty());
        QVERIFY(!m_screen->gradeImageView()->isVisible());
        // Grading still works on an empty screen.
        m_server.setAnswer(GradePath, StubHttpServer::Answer::json(R"({"result":1})"));
        grade(nullptr);
        QCOMPARE(lastFormOf(GradePath).value("feelId"), QStringLiteral("31"));
    }

    void gradingSendsTheChosenCode_data() {
        QTest::addColumn<int>("buttonIndex"); // -1: the default, untouched
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("untouched: excellent") << -1 << "4"
                                              << "grade_big_excellent";
        QTest::newRow("good") << 1 << "3"
                              << "grade_big_good";
        QTest::newRow("pass") << 2 << "2"
                              << "grade_big_pass";
        QTest::newRow("fail") << 3 << "1"
                              << "grade_big_fair";
        QTest::newRow("fail, then excellent again") << 0 << "4"
                                                    << "grade_big_excellent";
    }

    void gradingSendsTheChosenCode() {
        QFETCH(int, buttonIndex);
        QFETCH(QString, code);
        QFETCH(QString, stamp);
        openLoaded(201, feelJson("待批阅", {}));
        int notified = 0;
        QObject observer;
        NotificationCenter::addObserver(&observer, NOTIFICATION_UPDATE_GRADE, [&] { ++notified; });
        m_server.setAnswer(GradePath, StubHttpServer::Answer::json(R"({"result":1,"msg":"ok"})"));

        m_screen->markClickAction();
        GradeAlertView *dialog = GradeAlertView::current();
        QVERIFY(dialog);
        QCOMPARE(dialog->resultType(), 4);
        const QList<QPushButton *> buttons = dialog->panel()->gradeButtons();
        QVERIFY(buttons.first()->isChecked());
        if (buttonIndex == 0)
            QTest::mouseClick(buttons.at(3), Qt::LeftButton);
        if (buttonIndex >= 0)
            QTest::mouseClick(buttons.at(buttonIndex), Qt::LeftButton);
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(buttons.at(i)->isChecked(), i == qMax(0, buttonIndex));
        // Enter confirms.
        QTest::keyClick(dialog->panel()->decideButton(), Qt::Key_Return);
        QTRY_COMPARE(countOf(GradePath), 1);
        QTRY_VERIFY(!ProgressHud::isVisible());

        QCOMPARE(lastFormOf(GradePath),
                 (QHash<QString, QString>{{"uid", "7"}, {"feelId", "31"}, {"feelType", code}}));
        QCOMPARE(notified, 1);
        QCOMPARE(m_screen->gradeImageName(), stamp);
        QVERIFY(m_screen->gradeImageView()->isVisible());
        QVERIFY(!m_screen->rightButton());
        QVERIFY(!m_screen->rightBarButton());
        QVERIFY(!Toast::isShowing());
        // Graded once per visit.
        m_screen->markClickAction();
        QVERIFY(!GradeAlertView::current());
    }

    void gradingRefusedOrFailedChangesNothing_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refusal") << StubHttpServer::Answer::json(R"({"result":0,"msg":"已被批阅"})")
                                 << "已被批阅";
        QTest::newRow("transport failure") << StubHttpServer::Answer::dropped() << "无网络连接";
    }

    void gradingRefusedOrFailedChangesNothing() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        openLoaded(201, feelJson("待批阅", {}));
        int notified = 0;
        QObject observer;
        NotificationCenter::addObserver(&observer, NOTIFICATION_UPDATE_GRADE, [&] { ++notified; });
        m_server.setAnswer(GradePath, answer);
        grade(&GradeShowView::unQualifiedBtn);
        QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(notified, 0);
        QVERIFY(!m_screen->gradeImageView()->isVisible());
        QVERIFY(m_screen->rightButton());
        QCOMPARE(m_screen->rightBarButton(), m_screen->rightButton());
    }

    void closingTheDialogSendsNothing() {
        openLoaded(201, feelJson("待批阅", {}));
        m_screen->markClickAction();
        QPointer<GradeAlertView> dialog = GradeAlertView::current();
        QTest::keyClick(dialog->panel()->goodBtn(), Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull());
        m_screen->markClickAction();
        dialog = GradeAlertView::current();
        QTest::mouseClick(dialog->panel()->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(countOf(GradePath), 0);
        QVERIFY(m_screen->rightButton());
        // Esc on the screen itself goes back.
        m_screen->setFocus();
        QTest::keyClick(m_screen, Qt::Key_Escape);
        m_stack->finishTransitions();
        QTRY_VERIFY(m_screen.isNull());
    }

    void confirmingAfterTheScreenIsGoneSendsNothing() {
        openLoaded(201, feelJson("待批阅", {}));
        m_screen->markClickAction();
        QPointer<GradeAlertView> dialog = GradeAlertView::current();
        delete m_screen;
        dialog->receiveGoodsAction();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(countOf(GradePath), 0);
        QVERIFY(!ProgressHud::isVisible());
    }

    void lateAnswersAfterTheScreenIsGone() {
        StubHttpServer::Answer slow = StubHttpServer::Answer::json(feelJson("优秀", pictures(2)));
        slow.delayMs = 300;
        m_server.setAnswer(LoadPath, slow);
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        open(200);
        QVERIFY(received.wait(5000));
        m_stack->popViewController(false);
        QTRY_VERIFY(m_screen.isNull());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }

    void browserPagesZoomsAndReportsFailures() {
        QStringList urls = pictures(3);
        // The first full picture comes late, the second never.
        const QString late = urls.at(0).mid(m_server.baseUrl().size());
        m_server.setAnswer(QString(late).replace("thumbnail", "bmiddle"), png({640, 480}, 400));
        m_server.setAnswer(
            urls.at(1).mid(m_server.baseUrl().size()).replace("thumbnail", "bmiddle"),
            StubHttpServer::Answer::json("{}", 404));
        openLoaded(200, feelJson("优秀", urls));
        PictureGrid *grid = m_screen->photosGroup();
        QTRY_VERIFY(!grid->thumbnailAt(0)->image().isNull());

        QTest::mouseClick(grid->thumbnailAt(0), Qt::LeftButton);
        QPointer<PictureBrowser> browser = PictureBrowser::current();
        QVERIFY(browser);
        QCOMPARE(browser->positionLabel()->text(), QStringLiteral("1/3"));
        // The thumbnail until the full picture arrives.
        QCOMPARE(browser->pageImage(0).size(), QSize(160, 120));
        QTRY_COMPARE(browser->pageState(0), PictureBrowser::PageState::Loaded);
        QCOMPARE(browser->pageImage(0).size(), QSize(640, 480));
        QVERIFY(!browser->failureLabel()->isVisible());

        QTest::keyClick(browser, Qt::Key_Right);
        QCOMPARE(browser->positionLabel()->text(), QStringLiteral("2/3"));
        QTRY_COMPARE(browser->pageState(1), PictureBrowser::PageState::Failed);
        QVERIFY(browser->failureLabel()->isVisible());
        QCOMPARE(browser->failureLabel()->text(), QStringLiteral("图片加载失败"));
        browser->nextPage();
        browser->nextPage(); // past the end: stays
        QCOMPARE(browser->currentIndex(), 2);
        QCOMPARE(browser->positionText(), QStringLiteral("3/3"));

        browser->toggleZoom();
        QTRY_COMPARE(browser->zoomScale(), 2.0);
        browser->toggleZoom();
        QTRY_COMPARE(browser->zoomScale(), 1.0);
        browser->closeBrowser();
        QTRY_VERIFY(browser.isNull());
        QVERIFY(m_screen);

        // Opened on a later picture, it says where it is.
        grid->openBrowserAt(2);
        QCOMPARE(PictureBrowser::current()->positionText(), QStringLiteral("3/3"));
        QTest::keyClick(PictureBrowser::current(), Qt::Key_Escape);
        QTRY_VERIFY(!PictureBrowser::current());
    }
};

QTEST_MAIN(tst_GradeDetailVC)
#include "tst_GradeDetailVC.moc"
