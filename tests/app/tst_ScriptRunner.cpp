// The script runner on a small window: the failure line and exit code of each kind of step that
// cannot be done, what the steps do to widgets, where names are looked up, dumps and waiting.

#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "HeldChanges.h"
#include "ProgressHud.h"
#include "Script.h"
#include "ScriptRunner.h"
#include "ShellState.h"
#include "ViewController.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QtTest>

// Cells with a button of their own over their first 20 pixels.
class ButtonCells : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    Q_INVOKABLE QRect buttonRect(const QRect &cell) const {
        return QRect(cell.topLeft(), QSize(20, cell.height()));
    }
    QPoint released{-1, -1};

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &,
                     const QModelIndex &) override {
        if (event->type() == QEvent::MouseButtonRelease)
            released = static_cast<QMouseEvent *>(event)->position().toPoint();
        return false;
    }
};

class Screen : public ViewController {
    Q_OBJECT
public:
    Screen() {
        auto *layout = new QVBoxLayout(this);
        title = add<QLabel>(layout, "titleLabel");
        title->setText(QStringLiteral("三年级1班"));
        ok = add<QPushButton>(layout, "okBtn");
        ok->setText(QStringLiteral("确定"));
        auto *off = add<QPushButton>(layout, "offBtn");
        off->setEnabled(false);
        field = add<QLineEdit>(layout, "field");
        list = add<QListView>(layout, "list");
        list->setModel(new QStringListModel({"甲", "乙", "丙"}, list));
        buttonList = add<QListView>(layout, "buttonList");
        buttonList->setModel(list->model());
        buttonList->setItemDelegate(new ButtonCells(buttonList));
        buttonList->setFrameShape(QFrame::NoFrame);
        add<QLabel>(layout, "hiddenLabel")->hide();
    }
    template <typename W> W *add(QVBoxLayout *layout, const char *name) {
        auto *widget = new W;
        widget->setObjectName(QLatin1String(name));
        layout->addWidget(widget);
        return widget;
    }
    QLabel *title;
    QPushButton *ok;
    QLineEdit *field;
    QListView *list;
    QListView *buttonList;
};

class tst_ScriptRunner : public QObject {
    Q_OBJECT

    std::unique_ptr<AppWindow> m_window;
    QPointer<Screen> m_screen;
    QTemporaryDir m_dir;
    QList<ScriptRunner::Record> m_records;

    // Runs the script text to its end: the exit code and the message.
    std::pair<int, QString> run(const QString &text, int waitLimitMs = ScriptRunner::WaitLimitMs) {
        const ParsedScript parsed = Script::parse(text);
        if (!parsed.errors.isEmpty())
            return {-1, parsed.errors.join(u'\n')};
        ScriptRunner runner(parsed.steps, QStringLiteral("test"));
        runner.setWaitLimit(waitLimitMs);
        QSignalSpy finished(&runner, &ScriptRunner::finished);
        runner.start();
        if (!finished.wait(15000))
            return {-2, QStringLiteral("no end")};
        m_records = runner.records();
        return {finished.first().at(0).toInt(), finished.first().at(1).toString()};
    }

private slots:
    void init() {
        HeldChanges::instance().resetForTests();
        m_window = std::make_unique<AppWindow>();
        m_window->resize(375, 667);
        m_screen = new Screen;
        m_window->setRootViewController(m_screen);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void stepsThatCannotBeDone_data();
    void stepsThatCannotBeDone();
    void stepsActOnTheWidgetsAndStopAtAFailure();
    void partsOfAListAreItsRowsButtons();
    void overlaysAreSearchedFirst();
    void dumpWritesTheVisibleTreeWithRows();
    void waitLastsUntilAnimationsEndOrFailsAtTheLimit();
    void waitIsNotHeldByACallTheResetAbandoned();
    void pressGoesThroughTheWindowsShortcuts();
    void waitLastsUntilHeldChangesAreAnswered();
    void dumpNamesWhatShowsNoTextAndEveryRole();
    void tableHeaderTapsBySectionAndDumpsAcross();
};

void tst_ScriptRunner::stepsThatCannotBeDone_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("message");

    QTest::newRow("expected text differs")
        << "expect titleLabel 三年级1班\nexpect titleLabel 二年级"
        << "test:2: expect titleLabel 二年级: \"titleLabel\" shows \"三年级1班\", not \"二年级\"";
    QTest::newRow("no such widget")
        << "wait\n# comment\ntap nowhere"
        << "test:3: tap nowhere: no visible widget named \"nowhere\" on Screen";
    QTest::newRow("hidden widget") << "tap hiddenLabel"
                                   << "no visible widget named \"hiddenLabel\"";
    QTest::newRow("disabled") << "tap offBtn"
                              << "test:1: tap offBtn: \"offBtn\" is disabled";
    QTest::newRow("no parts") << "tap okBtn 1"
                              << "\"okBtn\" (QPushButton) has no parts";
    QTest::newRow("row beyond the list") << "row list 3"
                                         << "\"list\" has 3 rows; there is no row 3";
    QTest::newRow("text of a list") << "expect list x"
                                    << "(QListView) shows no text of its own";
    QTest::newRow("back from a root") << "back"
                                      << "no screen to go back to from Screen";
    QTest::newRow("no tab bar") << "tab 0"
                                << "there is no tab bar on Screen";
    QTest::newRow("tick on a running clock") << "tick 1"
                                             << "the countdowns run by themselves";
    QTest::newRow("unwritable picture") << "shot /nonexistent-folder/x.png"
                                        << "cannot write /nonexistent-folder/x.png";
}

void tst_ScriptRunner::stepsThatCannotBeDone() {
    QFETCH(QString, script);
    QFETCH(QString, message);
    const auto [code, text] = run(script);
    QCOMPARE(code, 1);
    QVERIFY2(text.contains(message), qPrintable(text));
}

void tst_ScriptRunner::partsOfAListAreItsRowsButtons() {
    QListView *list = m_screen->buttonList;
    QCOMPARE(run(QStringLiteral("tap buttonList 1")).first, 0);
    const QRect row = list->visualRect(list->model()->index(1, 0));
    const QPoint released = static_cast<ButtonCells *>(list->itemDelegate())->released;
    QVERIFY2(QRect(row.topLeft(), QSize(20, row.height())).contains(released),
             qPrintable(QString("released at %1,%2").arg(released.x()).arg(released.y())));
}

void tst_ScriptRunner::stepsActOnTheWidgetsAndStopAtAFailure() {
    int clicks = 0;
    connect(m_screen->ok, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    QSignalSpy rows(m_screen->list, &QAbstractItemView::clicked);
    QSignalSpy entered(m_screen->field, &QLineEdit::returnPressed);
    m_screen->field->setText(QStringLiteral("old"));

    const auto [code, text] = run(QStringLiteral("type field 王丽华 1\nexpect field 王丽华 1\n"
                                                 "key field Return\n"
                                                 "tap okBtn\nrow list 2\nexpect okBtn 确定\n"
                                                 "expect QLabel 三年级1班"));
    QCOMPARE(code, 0);
    QCOMPARE(entered.size(), 1);
    QCOMPARE(m_screen->field->text(), QStringLiteral("王丽华 1")); // replaced, not appended
    QCOMPARE(clicks, 1);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().first().toModelIndex().row(), 2);

    // Nothing after the failing step runs.
    QCOMPARE(run(QStringLiteral("tap okBtn\nexpect okBtn 取消\ntap okBtn")).first, 1);
    QCOMPARE(clicks, 2);
}

void tst_ScriptRunner::overlaysAreSearchedFirst() {
    auto *overlay = new QWidget(m_window.get());
    overlay->setGeometry(m_window->rect());
    auto *button = new QPushButton(QStringLiteral("关闭"), overlay);
    button->setObjectName(QStringLiteral("okBtn"));
    overlay->show();
    overlay->raise();
    QSignalSpy overlayClicks(button, &QPushButton::clicked);
    QSignalSpy screenClicks(m_screen->ok, &QPushButton::clicked);

    QCOMPARE(run(QStringLiteral("tap okBtn\nexpect okBtn 关闭")).first, 0);
    QCOMPARE(overlayClicks.size(), 1);
    QCOMPARE(screenClicks.size(), 0);
    // What the overlay covers is out of reach.
    const auto [code, text] = run(QStringLiteral("type field x"));
    QCOMPARE(code, 1);
    QVERIFY2(text.contains(QStringLiteral("\"field\" lies under")), qPrintable(text));

    overlay->hide();
    QCOMPARE(run(QStringLiteral("tap okBtn")).first, 0);
    QCOMPARE(screenClicks.size(), 1);
}

void tst_ScriptRunner::dumpWritesTheVisibleTreeWithRows() {
    const auto [code, text] = run(QStringLiteral("dump %1/{screen}.json").arg(m_dir.path()));
    QCOMPARE(code, 0);
    QFile file(m_dir.filePath(QStringLiteral("Screen.json")));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(text));
    const QJsonObject dump = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(dump.value("screen").toString(), QStringLiteral("Screen"));

    QHash<QString, QJsonObject> byName;
    const std::function<void(const QJsonObject &)> collect = [&](const QJsonObject &node) {
        byName.insert(node.value("name").toString(), node);
        for (const QJsonValue &child : node.value("children").toArray())
            collect(child.toObject());
    };
    collect(dump.value("tree").toObject());
    QVERIFY(!byName.contains(QStringLiteral("hiddenLabel")));
    QCOMPARE(byName.value("titleLabel").value("text").toString(), QStringLiteral("三年级1班"));
    QCOMPARE(byName.value("offBtn").value("enabled").toBool(), false);
    const QPoint at = m_screen->ok->mapTo(m_window.get(), QPoint());
    QCOMPARE(byName.value("okBtn").value("geometry").toArray(),
             (QJsonArray{at.x(), at.y(), m_screen->ok->width(), m_screen->ok->height()}));
    const QJsonArray rows = byName.value("list").value("rows").toArray();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(2).toObject().value("text").toString(), QStringLiteral("丙"));
}

void tst_ScriptRunner::waitLastsUntilAnimationsEndOrFailsAtTheLimit() {
    auto *fade = new QVariantAnimation(m_screen);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->setDuration(300);
    QTimer::singleShot(0, fade, [fade] { fade->start(); });
    // The content is drawn once the progress indicator is down; the fade goes on after it.
    connect(m_screen->ok, &QPushButton::clicked, this, [] {
        ProgressHud::show();
        QTimer::singleShot(120, [] { ProgressHud::dismiss(); });
    });
    QCOMPARE(run(QStringLiteral("tap okBtn\nwait")).first, 0);
    QCOMPARE(fade->state(), QAbstractAnimation::Stopped);
    const ScriptRunner::Record &waited = m_records.last();
    QVERIFY2(waited.settledMs >= 250 && waited.readyMs >= 110 &&
                 waited.readyMs + 100 < waited.settledMs,
             qPrintable(QStringLiteral("%1 %2").arg(waited.readyMs).arg(waited.settledMs)));

    fade->setLoopCount(-1);
    fade->start();
    const auto [code, text] = run(QStringLiteral("wait"), 200);
    QCOMPARE(code, 1);
    QVERIFY2(text.contains(QStringLiteral("still busy after 0.2 s: 1 animation(s) running")),
             qPrintable(text));
}

// What the reset between tests abandons no longer counts for wait, and the scale is the default.
void tst_ScriptRunner::waitIsNotHeldByACallTheResetAbandoned() {
    BaseAFHttpManager::setDisplayScale(3);
    // No address: the call fails, but only once the event loop runs.
    BaseAFHttpManager::postRequestOperationForHost({}, {}, {}, nullptr, nullptr);
    ShellState::resetForTests();
    QCOMPARE(BaseAFHttpManager::callsInFlight(), 0);
    QVERIFY(BaseAFHttpManager::userAgent().contains("Scale/1.00"));
}

// A shortcut fires unless the focused widget takes the key as typing.
void tst_ScriptRunner::pressGoesThroughTheWindowsShortcuts() {
    QStringList fired;
    for (const char *key : {"Ctrl+G", "2"})
        connect(new QShortcut(QKeySequence(QLatin1String(key)), m_window.get()),
                &QShortcut::activated, this, [&fired, key] { fired << key; });
    m_screen->ok->setFocus();
    QCOMPARE(run("press 2\ntype field x\npress Ctrl+G\npress 7\npress 2").first, 0);
    QCOMPARE(fired, QStringList({"2", "Ctrl+G"}));
    QCOMPARE(m_screen->field->text(), QStringLiteral("x72"));
}

void tst_ScriptRunner::waitLastsUntilHeldChangesAreAnswered() {
    HeldChanges &changes = HeldChanges::instance();
    changes.setHoldMs(100);
    changes.hold("feel:1", 2, [](auto answered) {
        QTimer::singleShot(150, [answered] { answered(true, {}); });
    });
    QCOMPARE(run("wait").first, 0);
    QCOMPARE(changes.acceptedCount(), 1);
    changes.hold("feel:2", 2, [](auto) {}); // never answered
    const auto [code, text] = run("wait", 1000);
    QVERIFY2(code == 1 && text.contains("1 change(s) sent and not answered"), qPrintable(text));
}

// A bar that paints its columns is read by their accessible names; a row by all its roles.
void tst_ScriptRunner::dumpNamesWhatShowsNoTextAndEveryRole() {
    auto *bar = new QTabBar(m_screen);
    bar->setAccessibleName(QStringLiteral("排序"));
    bar->addTab(QStringLiteral("按姓名"));
    bar->addTab(QStringLiteral("按等级"));
    bar->show();
    QCOMPARE(run(QStringLiteral("dump %1/d.json").arg(m_dir.path())).first, 0);
    QFile file(m_dir.filePath(QStringLiteral("d.json")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray nodes =
        QJsonDocument::fromJson(file.readAll())["tree"].toObject()["children"].toArray();
    QCOMPARE(nodes.last()["accessibleName"].toString(), QStringLiteral("排序"));
    QCOMPARE(nodes.last()["parts"][1]["accessibleName"].toString(), QStringLiteral("按等级"));
    const QJsonValue roles = nodes.at(4)["rows"][0]["roles"]; // the list
    QCOMPARE(roles["edit"].toString(), QStringLiteral("甲"));
    QVERIFY(roles["toolTip"].isNull());
}

// A table's header is tapped by section (the second, whatever the first's width); the dump reads
// a row across its columns and the header's sections with the one sorted by.
void tst_ScriptRunner::tableHeaderTapsBySectionAndDumpsAcross() {
    auto *table = m_screen->add<QTableView>(static_cast<QVBoxLayout *>(m_screen->layout()), "t");
    auto *model = new QStandardItemModel(0, 2, table);
    model->setHorizontalHeaderLabels({"姓名", "测评"});
    model->appendRow({new QStandardItem("甲"), new QStandardItem("3")});
    table->setModel(model);
    table->horizontalHeader()->setObjectName("tHeader");
    table->horizontalHeader()->resizeSection(0, 200);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
    QSignalSpy clicked(table->horizontalHeader(), &QHeaderView::sectionClicked);
    QCOMPARE(run(QStringLiteral("tap tHeader 1\ndump %1/t.json").arg(m_dir.path())).first, 0);
    QCOMPARE(clicked.value(0).value(0).toInt(), 1);
    QFile file(m_dir.filePath(QStringLiteral("t.json")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray dump = QJsonDocument::fromJson(file.readAll()).toJson(QJsonDocument::Compact);
    QVERIFY(dump.contains(R"("cells":["甲","3"])"));
    QVERIFY(dump.contains(R"("sections":[{"text":"姓名"},{"sorted":"ascending","text":"测评"}])"));
}

QTEST_MAIN(tst_ScriptRunner)
#include "tst_ScriptRunner.moc"
