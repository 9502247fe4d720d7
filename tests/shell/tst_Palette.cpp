#include "CellPainter.h"
#include "StyleTokens.h"

#include <QDirIterator>
#include <QListView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QtTest>

// The colour names of the style sheets, and the focus ring every list row shares.
class tst_Palette : public QObject {
    Q_OBJECT

    // Notes what the shared painter decides for the current row.
    struct RingProbe : QStyledItemDelegate {
        mutable bool ring = false;
        void paint(QPainter *p, const QStyleOptionViewItem &o,
                   const QModelIndex &i) const override {
            if (o.state & QStyle::State_HasFocus)
                ring = CellPainter::showsFocusRing(o);
            QStyledItemDelegate::paint(p, o, i);
        }
    };

private slots:
    void expand_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expanded");
        QTest::addColumn<QStringList>("unknown");
        QTest::newRow("known name")
            << "color: frame(title); border: 1px solid frame(hairline);"
            << "color: #724e26; border: 1px solid #c8c7cc;" << QStringList();
        QTest::newRow("translucent") << "background: frame(titleWash)"
                                     << "background: rgba(114, 78, 38, 30)" << QStringList();
        QTest::newRow("unknown name kept and reported")
            << "color: frame(brownish); background: frame(white)"
            << "color: frame(brownish); background: #ffffff" << QStringList{"brownish"};
        QTest::newRow("no names") << "#title { color: white; }"
                                  << "#title { color: white; }" << QStringList();
    }
    void expand() {
        QFETCH(QString, sheet);
        QFETCH(QString, expanded);
        QFETCH(QStringList, unknown);
        QStringList reported;
        QCOMPARE(StyleTokens::expand(sheet, &reported), expanded);
        QCOMPARE(reported, unknown);
    }

    // A name a form uses that the table lacks would leave its colour out on a screen.
    void everyFormNameIsKnown() {
        int forms = 0;
        QDirIterator it(TEACHER_TEST_DATA_DIR "/../../src", {"*.ui"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile form(it.next());
            QVERIFY(form.open(QIODevice::ReadOnly));
            QStringList unknown;
            StyleTokens::expand(QString::fromUtf8(form.readAll()), &unknown);
            QVERIFY2(unknown.isEmpty(), qPrintable(form.fileName() + ": " + unknown.join(" ")));
            ++forms;
        }
        QVERIFY(forms > 20);
    }

    void focusRingOnlyAfterTheKeyboard() {
        QWidget window;
        auto *before = new QPushButton("before", &window);
        auto *list = new QListView(&window);
        list->move(0, 40);
        QStandardItemModel model(3, 1);
        list->setModel(&model);
        list->setCurrentIndex(model.index(0, 0));
        RingProbe probe;
        list->setItemDelegate(&probe);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        list->setFocus(Qt::OtherFocusReason); // as a screen does when it opens
        QVERIFY(list->hasFocus());
        probe.ring = true;
        list->grab();
        QVERIFY(!probe.ring);

        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        list->grab();
        QVERIFY(probe.ring);
    }
};

QTEST_MAIN(tst_Palette)
#include "tst_Palette.moc"
