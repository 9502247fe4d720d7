#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "Language.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "RootTabbarController.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "SideBar.h"
#include "Toast.h"
#include "classes/ClassViewController.h"
#include "home/MainViewController.h"
#include "personal/MyCollectionVC.h"
#include "reflections/GradeViewController.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The home dashboard inside the real tab bar, against the stub service.
class tst_MainViewController : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;

    ScreenTestFixture m_fixture{ScreenRegistration::registerAll};
    StubHttpServer &m_server = m_fixture.server();
    QPointer<RootTabbarController> m_tabs;
    QPointer<MainViewController> m_home;

    inline static const QString ClassPath = TestCatalogue::pathOf(Operation::GetMyClassForTeacher);
    inline static const QString CollectPath =
        TestCatalogue::pathOf(Operation::GetTeacherCollections);
    static inline const QByteArray ThreeClasses =
        R"({"result":1,"classList":[{"ClassId":1,"GradeStr":"三","ClassName":"1班","StudentNum":30},)"
        R"({"ClassId":2,"GradeStr":"四","ClassName":"2班","StudentNum":28},)"
        R"({"ClassId":3,"GradeStr":"五","ClassName":"3班","StudentNum":0}]})";

    static QByteArray collection(int n) {
        QByteArray books;
        for (int i = 0; i < n; ++i)
            books += (i ? "," : "") + QByteArray(R"({"BookId":)") + QByteArray::number(i) + "}";
        return R"({"result":1,"collectlist":[)" + books + "]}";
    }

    int requestsTo(const QString &path) const { return int(m_server.requestsTo(path).size()); }

    // A fresh window with the tab bar, signed in as teacher 7 unless told otherwise.
    void open(bool signedIn = true) {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().isLogin = signedIn;
        LoginRsp::shareRsp().uid = 7;
        m_tabs = new RootTabbarController;
        QVERIFY(m_fixture.show(m_tabs));
        auto *stack = qobject_cast<NavigationController *>(m_tabs->viewControllers().value(0));
        QVERIFY(stack);
        m_home = qobject_cast<MainViewController *>(stack->rootViewController());
        QVERIFY(m_home);
        QVERIFY(m_home->isViewLoaded());
    }

    NavigationController *stack() const { return m_home->navigationController(); }

private slots:
    void init() {
        m_server.setAnswer(ClassPath, Answer::json(ThreeClasses));
        m_server.setAnswer(CollectPath, Answer::json(collection(12)));
    }

    void cleanup() { m_fixture.closeWindow(); }

    void startLoadsClassLinesAndCount() {
        // Neither call needs the other's answer: both are out before either is answered.
        m_server.queueAnswer(ClassPath, {.body = ThreeClasses, .delayMs = 600});
        m_server.queueAnswer(CollectPath, {.body = collection(12), .delayMs = 600});
        open();
        QTRY_VERIFY(requestsTo(ClassPath) == 1 && requestsTo(CollectPath) == 1);
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 2);
        QTRY_COMPARE(m_home->classLines().size(), 3);
        QTRY_VERIFY(m_home->collectNumLabel()->isVisible());
        QCOMPARE(requestsTo(ClassPath), 1);
        QCOMPARE(requestsTo(CollectPath), 1);
        for (const auto &r : m_server.requests())
            QCOMPARE(r.form().value("uid"), QStringLiteral("7"));
        const QList<QLabel *> lines = m_home->classLines();
        QCOMPARE(lines[0]->text(), QStringLiteral("三年级1班(30人)"));
        QCOMPARE(lines[2]->text(), QStringLiteral("五年级3班(0人)"));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(lines[i]->y(), i * 20);
            QCOMPARE(lines[i]->font().pixelSize(), 12);
        }
        QCOMPARE(m_home->classScrollContentView()->height(), lines[2]->geometry().bottom() + 11);
        QCOMPARE(m_home->collectNumLabel()->text(), QStringLiteral("12"));
        QVERIFY(m_home->collectNumImageView()->isVisible());

        // The notification reloads both; the later list replaces the lines, no books hide the
        // badge.
        m_server.setAnswer(ClassPath,
                           Answer::json(R"({"result":1,"classList":[{"GradeStr":"一"}]})"));
        m_server.setAnswer(CollectPath, Answer::json(collection(0)));
        NotificationCenter::post(NOTIFICATION_UPDATE_MAIN);
        QTRY_COMPARE(m_home->classLines().size(), 1);
        QTRY_VERIFY(!m_home->collectNumLabel()->isVisible());
        QVERIFY(!m_home->collectNumImageView()->isVisible());
        QCOMPARE(requestsTo(ClassPath), 2);
    }

    // A teacher switches to English with every tab and a pushed screen already made: what any
    // of them shows afterwards is English. The service's answers here hold no Chinese, so a
    // Chinese character left on screen is a text of the program's that did not follow.
    void everyMadeScreenFollowsALanguageChange() {
        m_server.setAnswer(ClassPath, Answer::json(R"({"result":1,"classList":[{"ClassId":1,)"
                                                   R"("GradeStr":"3","ClassName":"A"}]})"));
        open();
        QTRY_COMPARE(m_home->classLines().size(), 1);
        for (int tab = 3; tab >= 0; --tab)
            m_tabs->setSelectedIndex(tab);
        QTest::mouseClick(m_home->button(MainViewController::GradeTag), Qt::LeftButton);
        m_fixture.settle();
        Language::setOverride(Language::Spoken::English);
        Language::apply();
        QCoreApplication::processEvents(); // the change is posted to each window
        static const QRegularExpression han(QStringLiteral("\\p{Han}"));
        QStringList left;
        const auto check = [&](const QString &text, const QObject *where) {
            if (han.match(text).hasMatch())
                left << QStringLiteral("%1: %2").arg(where->objectName(), text);
        };
        for (int tab = 0; tab < 4; ++tab) {
            m_tabs->setSelectedIndex(tab);
            m_fixture.settle();
            const QList<QWidget *> shown = m_tabs->findChildren<QWidget *>();
            for (const QWidget *widget : shown) {
                if (!widget->isVisible())
                    continue;
                check(widget->accessibleName(), widget);
                if (const auto *label = qobject_cast<const QLabel *>(widget))
                    check(label->text(), widget);
                if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
                    check(button->text(), widget);
                if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
                    check(edit->placeholderText(), widget);
                if (const auto *screen = qobject_cast<const ViewController *>(widget))
                    check(screen->title(), widget);
                if (const auto *view = qobject_cast<const QAbstractItemView *>(widget);
                    view && view->model() && view->model()->rowCount() > 0)
                    check(view->model()->index(0, 0).data().toString(), widget);
            }
        }
        Language::setOverride(Language::Spoken::Chinese);
        Language::apply();
        Language::setOverride(std::nullopt);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
    }

    // A desktop window: four tiles two by two, and under 首页 in the sidebar each class (opening
    // its own roster) and the reflections with the number the waiting list holds.
    void desktopTilesAndSideBarEntries() {
        const QString feelPath = TestCatalogue::pathOf(Operation::GetFeelList);
        m_server.setAnswer(feelPath, Answer::json(R"({"result":1,"feelList":[{"FeelId":1},)"
                                                  R"({"FeelId":2}]})"));
        open();
        m_fixture.window()->resize(1280, 800);
        QTRY_COMPARE(m_tabs->sideBar()->rows()->rowCount(), 4 + 3 + 1);
        QTRY_VERIFY(requestsTo(feelPath) > 0);
        QCOMPARE(m_server.requestsTo(feelPath).last().form().value("feelType"),
                 QStringLiteral("1"));
        SideBarRows *rows = m_tabs->sideBar()->rows();
        QTRY_COMPARE(rows->index(4).data().toString(), QStringLiteral("读后感批阅 2"));
        QCOMPARE(rows->index(2).data().toString(), QStringLiteral("四年级2班"));
        const QRect classes = m_home->button(MainViewController::ClassTag)->geometry();
        const QRect grading = m_home->button(MainViewController::GradeTag)->geometry();
        QCOMPARE(classes.top(), grading.top());
        QVERIFY(classes.width() * 2 < m_home->width());

        rows->openEntry(2);
        QTRY_COMPARE(stack()->viewControllers().size(), 2);
        QTRY_VERIFY(
            !m_server.requestsTo(TestCatalogue::pathOf(Operation::GetMyClassDetail)).isEmpty());
        QCOMPARE(m_server.requestsTo(TestCatalogue::pathOf(Operation::GetMyClassDetail))
                     .last()
                     .form()
                     .value("classId"),
                 QStringLiteral("2"));
    }

    void failedAnswersKeepWhatWasShown_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        for (const QString &path : {ClassPath, CollectPath}) {
            QTest::addRow("%s refused", qPrintable(path))
                << path << Answer::json(StubAnswers::refused("没有权限")) << "没有权限";
            QTest::addRow("%s dropped", qPrintable(path))
                << path << Answer::dropped() << "无网络连接";
        }
    }

    void failedAnswersKeepWhatWasShown() {
        QFETCH(QString, path);
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        open();
        QTRY_COMPARE(m_home->classLines().size(), 3);
        QTRY_COMPARE(m_home->collectNumLabel()->text(), QStringLiteral("12"));
        m_fixture.settle();
        m_server.setAnswer(path, answer);
        NotificationCenter::post(NOTIFICATION_UPDATE_MAIN);
        QTRY_COMPARE(Toast::currentText(), toast);
        m_fixture.settle();
        QCOMPARE(m_home->classLines().size(), 3);
        QCOMPARE(m_home->gradeArray().size(), 3);
        QVERIFY(m_home->collectNumLabel()->isVisible());
        QCOMPARE(m_home->collectNumLabel()->text(), QStringLiteral("12"));
    }

    void signedOutAsksNothing() {
        open(false);
        // A call made afterwards arrives after any the start would have made.
        m_home->getCollectionBookListAction();
        QTRY_COMPARE(requestsTo(CollectPath), 1);
        QCOMPARE(m_server.requests().size(), 1);
        QTest::mouseClick(m_home->button(MainViewController::ClassTag), Qt::LeftButton);
        QCOMPARE(Toast::currentText(), QStringLiteral("您暂无班级，请先添加班级"));
        QCOMPARE(stack()->viewControllers().size(), 1);
    }

    void areasOpenTheirScreens_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("pushed");
        QTest::newRow("class") << int(MainViewController::ClassTag) << "ClassViewController";
        QTest::newRow("reflections") << int(MainViewController::GradeTag) << "GradeViewController";
        QTest::newRow("collection") << int(MainViewController::CollectTag) << "MyCollectionVC";
        QTest::newRow("statistics: the reports tab, no push")
            << int(MainViewController::StatisticsTag) << "";
    }

    void areasOpenTheirScreens() {
        QFETCH(int, tag);
        QFETCH(QString, pushed);
        open();
        QTRY_COMPARE(m_home->classLines().size(), 3);
        m_fixture.settle();
        QPushButton *button = m_home->button(MainViewController::ButtonTag(tag));
        QTest::mouseClick(button, Qt::LeftButton); // a double click opens one screen
        QTest::mouseDClick(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        if (pushed.isEmpty()) {
            QCOMPARE(m_tabs->selectedIndex(), 2);
            QCOMPARE(stack()->viewControllers().size(), 1);
            return;
        }
        QCOMPARE(stack()->viewControllers().size(), 2);
        ViewController *top = stack()->topViewController();
        QVERIFY(top->inherits(pushed.toLatin1()));
        QVERIFY(top->hidesBottomBarWhenPushed());
        QCOMPARE(m_tabs->selectedIndex(), 0);
    }

    void noClassNoRoster() {
        m_server.setAnswer(ClassPath, Answer::json(R"({"result":1,"classList":[]})"));
        open();
        QTRY_COMPARE(requestsTo(ClassPath), 1);
        m_fixture.settle();
        QVERIFY(m_home->classLines().isEmpty());
        QTest::mouseClick(m_home->button(MainViewController::ClassTag), Qt::LeftButton);
        QCOMPARE(Toast::currentText(), QStringLiteral("您暂无班级，请先添加班级"));
        QCOMPARE(stack()->viewControllers().size(), 1);
        // Any other tag does nothing.
        QPushButton stray;
        setTag(&stray, 9);
        m_home->btnClickAction(&stray);
        m_home->btnClickAction(nullptr);
        QCOMPARE(stack()->viewControllers().size(), 1);
    }

    void comingBackRefreshesOnlyTheCount() {
        open();
        QTRY_COMPARE(m_home->classLines().size(), 3);
        QTRY_COMPARE(requestsTo(CollectPath), 1);
        m_fixture.settle();
        QTest::mouseClick(m_home->button(MainViewController::GradeTag), Qt::LeftButton);
        stack()->finishTransitions();
        stack()->popViewController(false);
        QTRY_COMPARE(requestsTo(CollectPath), 2);
        QCOMPARE(requestsTo(ClassPath), 1);
    }

    void lateAnswersAfterTheScreenIsGone() {
        m_server.setAnswer(ClassPath, {.body = ThreeClasses, .delayMs = 300});
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        open();
        QVERIFY(received.wait(5000));
        m_fixture.window()->setRootViewController(new BasicVC);
        QTRY_VERIFY(m_home.isNull());
        // The HUD of the call goes only with its answer.
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }
};

QTEST_MAIN(tst_MainViewController)
#include "tst_MainViewController.moc"
