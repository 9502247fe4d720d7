#include "AlertView.h"
#include "CataloguePath.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "personal/UserClassCell.h"
#include "personal/UserClassRows.h"
#include "personal/UserDetailVC.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QtTest>

// The profile screen against the stub service: what the picker offers, what each change sends,
// what each answer does, and the indexes that must stay inside lists that shrink.
class tst_UserDetailVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    using Ids = QList<qint64>;
    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    const QString InfoPath = TestCatalogue::pathOf(Operation::GetTeacherInfo);
    const QString PickPath = TestCatalogue::pathOf(Operation::SelectClassForTeacher);
    const QString ChangePath = TestCatalogue::pathOf(Operation::ChangeClassForTeacher);
    NavigationController *m_stack = nullptr;
    QPointer<UserDetailVC> m_screen;

    // Classes with flags: 1 awaits approval, 2 has its teacher. The profile's answer adds the user.
    static Answer classes(const QString &key, const Ids &ids, const QList<int> &flags = {}) {
        QJsonArray list;
        for (qsizetype i = 0; i < ids.size(); ++i)
            list.append(QJsonObject{{"ClassId", ids[i]},
                                    {"GradeName", "三年级"},
                                    {"ClassName", "班"},
                                    {"ApprovalExists", flags.value(i) & 1},
                                    {"TeacherIsExists", flags.value(i) & 2}});
        QJsonObject body{{"result", 1}, {"classList", list}};
        if (key == "info")
            body.insert("user", QJsonObject{{"RealName", "王丽华"}, {"SchoolName", "晨曦小学"}});
        return Answer::json(QJsonDocument(body).toJson());
    }
    static Ids ids(const QList<SelectClassModel> &list) {
        Ids found;
        for (const SelectClassModel &c : list)
            found.append(c.ClassId);
        return found;
    }
    QStringList changesSent() const {
        QStringList sent;
        for (const auto &request : m_server.requestsTo(ChangePath))
            sent << QStringList{request.form()["uid"], request.form()["type"],
                                request.form()["classId"], request.form()["newClassId"]}
                        .join(',');
        return sent;
    }
    // Change requests are accepted, slowly enough for a reload to come first.
    void open(const Ids &own, const Ids &offered, const QList<int> &flags = {}) {
        m_server.setAnswer(ChangePath,
                           {.body = StubAnswers::ok({{"msg", "已提交"}}), .delayMs = 400});
        m_server.setAnswer(InfoPath, classes("info", own));
        m_server.setAnswer(PickPath, classes("pick", offered, flags));
        m_stack->pushViewController(m_screen = new UserDetailVC, false);
        QTRY_COMPARE(m_server.requests().size(), 2);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QTRY_COMPARE(ids(m_screen->teacherClasses()), own);
    }
    QRect rowRect(int row) const {
        return m_screen->userClassTableView()->visualRect(m_screen->classRows()->index(row));
    }
    // One step as the teacher takes it; the answer it sets off is waited for unless the step
    // ends in '&'.
    void step(QString text) {
        const bool wait = !text.endsWith('&');
        text.remove('&');
        const QStringList word = text.split(' ');
        const int n = word.value(1).toInt();
        QListView *list = m_screen->userClassTableView();
        if (word[0] == "edit")
            qobject_cast<QAbstractButton *>(m_screen->rightBarButton())->click();
        else if (word[0] == "add")
            m_screen->addClassButton()->click();
        else if (word[0] == "row")
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowRect(n).center());
        else if (word[0] == "minus")
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              m_screen->classCell()->buttonRect(rowRect(n)).center());
        else if (word[0] == "pick")
            m_screen->userClassPickView()->setCurrentIndex(m_screen->pickRows()->index(n));
        else if (word[0] == "sure") // the method itself: the button may be hidden by then
            m_screen->sureBtnClickAction();
        else if (word[0] == "confirm" || word[0] == "cancel") {
            QVERIFY(AlertView::current());
            AlertView::current()->clickButton(word[0] == "confirm" ? 1 : 0);
        } else if (word[0] == "reload") { // what the service lists from now on
            m_server.setAnswer(InfoPath, classes("info", {11, 13}));
            m_server.setAnswer(PickPath, classes("pick", {21, 22}));
        } else if (word[0] == "offered") {
            QTRY_COMPARE(ids(m_screen->classSelectArray()), (Ids{21, 22}));
        } else if (word[0] == "classes") {
            Ids listed;
            for (const QString &id : word[1].split(','))
                listed.append(id.toLongLong());
            m_server.setAnswer(InfoPath, classes("info", listed));
            m_screen->getTeacherInfoAction();
            QTRY_COMPARE(ids(m_screen->teacherClasses()), listed);
        } else
            QFAIL(qPrintable("no step " + text));
        if (wait)
            QTRY_VERIFY(!ProgressHud::isVisible());
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 31;
        LoginRsp::shareRsp().user.emplace().SchoolId = 5;
        QVERIFY(m_stack = m_fixture.showStack());
    }
    void cleanup() { m_fixture.closeWindow(); }

    // Classes awaiting approval or with their teacher are not offered.
    void pickerOffersFreeClassesInOrder() {
        open({11}, {1, 2, 3, 4, 5}, {0, 1, 2, 3, 0});
        QTRY_COMPARE(ids(m_screen->classSelectArray()), (Ids{1, 5}));
    }

    // Steps from a profile with classes 11, 12, 13 and a picker of 21, 22, 23; then what was sent
    // ("uid,type,classId,newClassId" each) and the classes.
    void changes_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<Ids>("own");
        const Ids own{11, 12, 13};
        QTest::newRow("exchange a row: both lists reload")
            << QStringList{"edit", "row 1", "pick 2", "reload", "sure", "offered"}
            << QStringList{"31,1,12,23"} << Ids{11, 13};
        QTest::newRow("removal declined")
            << QStringList{"edit", "minus 1", "cancel"} << QStringList{} << own;
        QTest::newRow("outside edit mode rows do nothing")
            << QStringList{"row 1", "minus 0"} << QStringList{} << own;
        QTest::newRow("confirm on an emptied picker sends nothing")
            << QStringList{"edit", "add", "sure", "add", "sure", "add", "sure", "add", "sure"}
            << QStringList{"31,0,0,21", "31,0,0,22", "31,0,0,23"} << own;
        QTest::newRow("removal confirmed after the list shrank")
            << QStringList{"edit", "minus 2", "classes 11", "confirm"} << QStringList{} << Ids{11};
        QTest::newRow("exchange after the list shrank")
            << QStringList{"edit", "row 2", "classes 11,12", "sure"} << QStringList{}
            << Ids{11, 12};
        QTest::newRow("removal answered after a reload: its class goes, not the row")
            << QStringList{"edit", "minus 0", "confirm&", "classes 13,11,12"}
            << QStringList{"31,2,11,0"} << Ids{13, 12};
    }
    void changes() {
        QFETCH(QStringList, steps);
        QFETCH(Ids, own);
        open({11, 12, 13}, {21, 22, 23});
        for (const QString &text : std::as_const(steps)) {
            step(text);
            if (QTest::currentTestFailed())
                return;
        }
        QTRY_COMPARE(ids(m_screen->teacherClasses()), own);
        QTEST(changesSent(), "sent");
        // The service's message, for a second, after each change.
        QCOMPARE(Toast::isShowing(), !changesSent().isEmpty());
        if (Toast::isShowing())
            QCOMPARE(Toast::currentDuration(), 1000);
        QVERIFY(!m_screen->isPickerShowing());
    }

    // An accepted change reaches the home even when the profile was left before the answer.
    void acceptedChangeReachesTheHome() {
        int posts = 0;
        QObject home;
        NotificationCenter::addObserver(&home, NOTIFICATION_UPDATE_MAIN, [&] { ++posts; });
        open({11, 12}, {21});
        for (const char *text : {"edit", "minus 0", "confirm&"})
            step(text);
        m_stack->popViewController(false);
        QTRY_COMPARE(posts, 1);
    }

    // Editing marks the fixed fields and shows the remove buttons; Esc closes the picker before
    // it goes back.
    void editModeAndEsc() {
        open({11, 12}, {21});
        step("edit");
        QCOMPARE(m_screen->nameContentLabel()->text(), "王丽华(不可修改)");
        QVERIFY(!m_screen->classCell()->buttonRect(rowRect(0)).isEmpty());
        step("row 1");
        QTest::keyClick(m_screen->userClassPickView(), Qt::Key_Escape);
        QCOMPARE(m_stack->topViewController(), m_screen.data());
        QVERIFY(!m_screen->isPickerShowing());
        step("edit");
        QCOMPARE(m_screen->nameContentLabel()->text(), "王丽华");
        QTest::keyClick(m_screen->userClassTableView(), Qt::Key_Escape);
        QTRY_VERIFY(!m_screen);
    }
};

QTEST_MAIN(tst_UserDetailVC)
#include "tst_UserDetailVC.moc"
