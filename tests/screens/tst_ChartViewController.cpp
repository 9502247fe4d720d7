#include "ActionSheet.h"
#include "AppWindow.h"
#include "CataloguePath.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "reports/ChartBars.h"
#include "reports/ChartListCell.h"
#include "reports/ChartListVC.h"
#include "reports/ChartViewController.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// The report screen against the stub service: what each action asks for, each answer, the bars.
class tst_ChartViewController : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QPointer<ChartViewController> m_screen;

    inline static const QString Terms = TestCatalogue::pathOf(Operation::ChartTermList);
    inline static const QString Report = TestCatalogue::pathOf(Operation::ChartList);
    inline static const QString Areas = TestCatalogue::pathOf(Operation::ChartAreaList);
    inline static const QString Cities = TestCatalogue::pathOf(Operation::ChartCityList);

    auto sent(const QString &path) const { return m_server.requestsTo(path); }

    void answer(const QString &path, const QByteArray &json) {
        m_server.setAnswer(path, StubHttpServer::Answer::json(json));
    }

    ChartListVC *list(int index) const { return m_screen->lists().at(index); }

    // Opens a view and waits for its first report.
    void show(int index) {
        const auto before = sent(Report).size();
        m_screen->showList(index);
        QTRY_COMPARE(sent(Report).size(), before + 1);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }

    // Chooses `row` of `column` through the bar, as a touch would.
    void choose(ChartListVC *view, int column, int row) {
        view->menu()->menuTapped(QPoint(column * view->menu()->width() / 2 + 5, 20));
        view->menu()->tableViewDidSelectRowAtIndexPath(row);
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp signedIn;
        signedIn.user = UserInfo();
        signedIn.user->SchoolId = 11;
        signedIn.user->CityId = 22;
        signedIn.user->ProvinceId = 33;
        LoginState::applySignedIn(signedIn);
        answer(Terms, R"({"result":1,"list":[{"Id":7,"Year":"2026"},{"Id":8,"Year":"2025"}]})");
        answer(Areas, R"({"result":1,"areaList":[{"AreaId":201},{"AreaId":202}]})");
        answer(Cities, R"({"result":1,"cityList":[{"CityId":301},{"CityId":302}]})");
        answer(Report, R"({"result":1,"averageCount":"3.2","classList":[)"
                       R"({"Name":"一班","AverageFlower":"4.5"},{"Name":"=二班",)"
                       R"("AverageFlower":"9.0"},{"Name":"三班","AverageFlower":"0"}]})");
        m_fixture.window()->resize(320, 568);
        auto *stack = ChartViewController::navigationControllerContainSelf();
        QVERIFY(m_fixture.show(stack));
        m_screen = qobject_cast<ChartViewController *>(stack->rootViewController());
        QVERIFY(m_screen);
        QTRY_COMPARE(sent(Report).size(), 1);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }

    void cleanup() { m_fixture.closeWindow(); }

    void startShowsTheGradeViewWithTheFirstTermAndGrade() {
        const auto form = sent(Report).first().form();
        const QHash<QString, QString> expected{
            {"type", "0"},  {"schoolId", "11"}, {"term", "7"},  {"year", "2026"},
            {"grade", "1"}, {"areaId", "0"},    {"cityId", "0"}};
        QCOMPARE(form, expected);
        ChartListVC *grade = list(0);
        // Bars at the view's width: the top entry gets 320 - 46.
        QList<qint64> widths;
        for (const auto &row : grade->chartListArray())
            widths << row.imageWidth;
        QCOMPARE(widths, QList<qint64>({137, 274, 0}));
        QVERIFY(grade->averageLabel()->text().contains(QStringLiteral(">3.2</span>朵小花")));
        // The other views wait until they are first shown.
        QVERIFY(sent(Areas).isEmpty() && sent(Cities).isEmpty());
    }

    void eachFilterChangeAsksOnce_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("changed"); // "field=value ..." differing from the first load
        QTest::newRow("same term again: nothing") << 0 << 0 << 0 << "";
        QTest::newRow("grade view, other term") << 0 << 0 << 1 << "term=8 year=2025 grade=1";
        QTest::newRow("grade view, other grade") << 0 << 1 << 2 << "term=7 grade=3";
        QTest::newRow("school view, other district") << 1 << 1 << 1 << "type=1 areaId=202 grade=0";
        QTest::newRow("region view, other city") << 2 << 1 << 1 << "type=2 cityId=302 grade=0";
    }

    void eachFilterChangeAsksOnce() {
        QFETCH(int, view);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, changed);
        if (view > 0)
            show(view);
        if (view == 1)
            QCOMPARE(sent(Areas).first().form().value("cityId"), QStringLiteral("22"));
        if (view == 2)
            QCOMPARE(sent(Cities).first().form().value("provinceId"), QStringLiteral("33"));
        const auto before = sent(Report).size();
        choose(list(view), column, row);
        if (changed.isEmpty()) {
            QVERIFY(!ProgressHud::isVisible()); // a report request raises it at once
            return;
        }
        QTRY_COMPARE(sent(Report).size(), before + 1);
        const auto form = sent(Report).last().form();
        QCOMPARE(form.value("schoolId"), QStringLiteral("11"));
        for (const QString &pair : changed.split(' ')) {
            const QStringList kv = pair.split('=');
            QCOMPARE(form.value(kv[0]), kv[1]);
        }
    }

    void emptyListsAreNeverIndexed() {
        answer(Areas, R"({"result":1,"areaList":[]})");
        show(1);
        const auto form = sent(Report).last().form();
        QCOMPARE(form.value("areaId"), QStringLiteral("0"));
        ChartListVC *school = list(1);
        QCOMPARE(school->menu()->column(1)->title(), QString());
        school->menuDidSelectRowAtIndexPath(school->menu(),
                                            ChartIndexPath::indexPathWithCol(1, 0, 0, 0));
        // Terms that never came: term 0 and no year.
        school->setFirstArray({});
        school->getChartListInfoAction();
        QTRY_COMPARE(sent(Report).size(), 3);
        QCOMPARE(sent(Report).last().form().value("term"), QStringLiteral("0"));
        QVERIFY(!sent(Report).last().form().contains("year"));
    }

    void aTermListShrinkingUnderAnOpenMenu() {
        ChartListVC *grade = list(0);
        choose(grade, 0, 1);
        QTRY_COMPARE(sent(Report).size(), 2);
        QTRY_VERIFY(!ProgressHud::isVisible());
        grade->menu()->menuTapped(QPoint(5, 20));
        QVERIFY(grade->menu()->isShow());
        grade->setFirstArray({grade->firstArray().first()});
        QCOMPARE(grade->currentData1Index(), 0); // the chosen term went
        grade->menu()->tableViewDidSelectRowAtIndexPath(1);
        QCOMPARE(grade->currentData1Index(), 0);
        QVERIFY(!ProgressHud::isVisible());
    }

    // The views a teacher opened go out as shown: the CSV holds the view in sight (byte for
    // byte: the byte-order mark and CRLF lines spreadsheets need), a PDF every opened view;
    // Ctrl+S offers the formats; the toast names the file.
    void exportWritesTheRowsInView() {
        QTemporaryDir dir;
        ExportActions *actions = m_screen->exportActions();
        QVERIFY(actions->exportTo(Export::Format::Csv, dir.filePath("grade.csv")).ok);
        QFile csv(dir.filePath("grade.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(
            csv.readAll(),
            "\xEF\xBB\xBF" +
                QStringLiteral("名称,平均小花\r\n一班,4.5\r\n'=二班,9.0\r\n三班,0\r\n").toUtf8());
        QCOMPARE(Toast::currentText(), QStringLiteral("已导出 grade.csv"));
        const ExportTable shown = m_screen->exportDocument().currentView();
        QCOMPARE(shown.subtitles.last(), QStringLiteral("平均：3.2朵小花"));
        QCOMPARE(shown.bars, QList<double>({4.5, 9.0, 0}));

        show(2);
        const ExportDocument both = m_screen->exportDocument();
        QCOMPARE(both.views.size(), 2);
        QCOMPARE(both.current, 1);
        QCOMPARE(both.nameParts, QStringList({"报表", "区域", ""}));

        m_fixture.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window()));
        QTest::keyClick(m_fixture.window(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(ActionSheet::current());
        QCOMPARE(ActionSheet::current()->numberOfButtons(), 4);
        ActionSheet::current()->clickButton(ActionSheet::current()->cancelButtonIndex());
        const auto before = sent(Report).size(); // F5 asks the view in sight again
        QTest::keyClick(m_fixture.window(), Qt::Key_F5);
        QTRY_COMPARE(sent(Report).size(), before + 1);

        // The bar button only where the bar has room: a phone's bar stays as designed.
        QVERIFY(!m_screen->rightBarButton());
        m_fixture.window()->resize(ExportActions::BarButtonWidth, 700);
        QTRY_VERIFY(m_screen->rightBarButton());
        m_fixture.window()->resize(375, 667);
        QTRY_VERIFY(!m_screen->rightBarButton());
    }
};

QTEST_MAIN(tst_ChartViewController)
#include "tst_ChartViewController.moc"
