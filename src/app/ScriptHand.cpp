#include "ScriptHand.h"

#include "NavigationController.h"
#include "ProgressHud.h"
#include "ScreenProbe.h"
#include "SegmentedControl.h"
#include "TabBar.h"
#include "TabBarController.h"
#include "TickSource.h"
#include "ViewController.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QTabBar>
#include <QTextEdit>
#include <QWindow>

// Hands a key to a window as the keyboard does: the shortcut map first, then the window's focus
// widget (or a popup, or a keyboard grabber), as a spontaneous event. Exported by QtGui for QTest
// (qtestkeyboard.h declares it the same way), which the program does not link.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow *window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers,
                                    const QString &text = QString(), bool autorepeat = false,
                                    ushort count = 1);

namespace {

QString quoted(const QString &text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString screenName(QWidget *window) {
    return ScreenProbe::onTopName(window);
}

// A press and a release on the spot, delivered to the widget under it as a person's click would
// be; what that widget ignores travels up to its parents.
void clickAt(QWidget *widget, QPoint pos) {
    QPointer<QWidget> target = widget->childAt(pos);
    if (target)
        pos = target->mapFrom(widget, pos);
    else
        target = widget;
    const QPointF local(pos);
    const QPointF scene(target->mapTo(target->window(), pos));
    const QPointF global(target->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, scene, global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (!target)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, scene, global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Where part `index` of a widget made of parts lies, or an empty rect when it has no such part.
QRect partRect(QWidget *widget, int index, int *count) {
    if (auto *segments = qobject_cast<SegmentedControl *>(widget)) {
        *count = segments->numberOfSegments();
        return index < *count ? segments->segmentRect(index) : QRect();
    }
    if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
        *count = tabs->count();
        return index < *count ? tabs->tabRect(index) : QRect();
    }
    if (auto *bar = qobject_cast<TabBar *>(widget)) {
        *count = bar->count();
        QAbstractButton *button = index < *count ? bar->button(index) : nullptr;
        return button ? QRect(button->mapTo(bar, QPoint()), button->size()) : QRect();
    }
    // Bars that paint equal columns of their own (a sort bar) say how many they have.
    QVariant columns = widget->property("numberOfColumns");
    if (!columns.isValid())
        columns = widget->property("numOfMenu");
    if (columns.isValid() && columns.toInt() > 0) {
        *count = columns.toInt();
        if (index >= *count)
            return {};
        const int width = widget->width() / *count;
        return QRect(index * width, 0, width, widget->height());
    }
    // A table's header: part N is the section shown Nth (a click sorts by it).
    if (auto *header = qobject_cast<QHeaderView *>(widget)) {
        *count = header->count();
        const int logical = index < *count ? header->logicalIndex(index) : -1;
        if (logical < 0 || header->isSectionHidden(logical))
            return {};
        const int at = header->sectionViewportPosition(logical);
        const int size = header->sectionSize(logical);
        const QRect section = header->orientation() == Qt::Horizontal
                                  ? QRect(at, 0, size, header->viewport()->height())
                                  : QRect(0, at, header->viewport()->width(), size);
        return section.translated(header->viewport()->pos()).intersected(header->rect());
    }
    // A list whose cells paint a button of their own (a row's remove button) says where the
    // button lies in a cell through its delegate's invokable buttonRect(QRect): part N is the
    // button of row N.
    auto *view = qobject_cast<QAbstractItemView *>(widget);
    QAbstractItemDelegate *cells = view ? view->itemDelegate() : nullptr;
    if (view && view->model() && cells &&
        cells->metaObject()->indexOfMethod("buttonRect(QRect)") >= 0) {
        *count = view->model()->rowCount(view->rootIndex());
        if (index >= *count)
            return {};
        const QModelIndex row = view->model()->index(index, 0, view->rootIndex());
        view->scrollTo(row);
        QRect button;
        QMetaObject::invokeMethod(cells, "buttonRect", Q_RETURN_ARG(QRect, button),
                                  Q_ARG(QRect, view->visualRect(row)));
        return button.translated(view->viewport()->pos()).intersected(view->rect());
    }
    *count = -1;
    return {};
}

} // namespace

ScriptHand::ScriptHand(QWidget *window)
    : m_window(window) {}

QString ScriptHand::act(const ScriptStep &step) {
    switch (step.verb) {
    case ScriptStep::Verb::Tap:
        return tap(step);
    case ScriptStep::Verb::Type:
        return type(step);
    case ScriptStep::Verb::Key:
        return key(step);
    case ScriptStep::Verb::Press:
        return press(step);
    case ScriptStep::Verb::Row:
        return row(step);
    case ScriptStep::Verb::Back:
        return back();
    case ScriptStep::Verb::Tab:
        return tab(step);
    case ScriptStep::Verb::Tick:
        return tick(step);
    default:
        return QStringLiteral("is not a step a hand does");
    }
}

QWidget *ScriptHand::reachable(const QString &name, QString *why) {
    QWidget *w = m_window;
    if (ProgressHud::isBlocking()) {
        *why = QStringLiteral("the progress indicator (%1) blocks the screen; wait first")
                   .arg(quoted(ProgressHud::status()));
        return nullptr;
    }
    QWidget *widget = ScreenProbe::findWidget(w, name);
    if (!widget) {
        *why = QStringLiteral("no visible widget named %1 on %2").arg(quoted(name), screenName(w));
        return nullptr;
    }
    if (const QWidget *cover = ScreenProbe::coveringOverlay(w);
        cover && cover != widget && !cover->isAncestorOf(widget)) {
        *why = QStringLiteral("%1 lies under %2").arg(quoted(name), ScreenProbe::onTopName(w));
        return nullptr;
    }
    if (!widget->isEnabled()) {
        *why = QStringLiteral("%1 is disabled").arg(quoted(name));
        return nullptr;
    }
    // A person scrolls to what lies outside a scrolled area before touching it.
    for (QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(parent))
            area->ensureWidgetVisible(widget, 0, 0);
    }
    // A list without a frame is covered all over by its own viewport: what shows is that.
    auto *scrolled = qobject_cast<QAbstractScrollArea *>(widget);
    if ((scrolled ? scrolled->viewport() : widget)->visibleRegion().isEmpty()) {
        *why = QStringLiteral("%1 is off screen").arg(quoted(name));
        return nullptr;
    }
    return widget;
}

QString ScriptHand::tap(const ScriptStep &step) {
    // A menu bar's action is chosen as a person would from its open menu.
    if (QAction *action = ScreenProbe::findMenuAction(m_window, step.name);
        action && step.number < 0) {
        if (!action->isEnabled())
            return QStringLiteral("%1 is disabled").arg(quoted(step.name));
        // A menu's title opens the menu; Escape closes it again.
        if (action->menu()) {
            if (auto *bar = m_window->findChild<QMenuBar *>())
                bar->setActiveAction(action);
            return {};
        }
        action->trigger();
        return {};
    }
    QString why;
    QWidget *widget = reachable(step.name, &why);
    if (!widget)
        return why;
    if (step.number < 0) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->click();
        else
            clickAt(widget, widget->rect().center());
        return {};
    }
    int count = 0;
    const QRect part = partRect(widget, step.number, &count);
    if (count < 0)
        return QStringLiteral("%1 (%2) has no parts to choose from")
            .arg(quoted(step.name), QString::fromLatin1(widget->metaObject()->className()));
    if (part.isEmpty())
        return QStringLiteral("%1 has %2 parts; there is no part %3")
            .arg(quoted(step.name))
            .arg(count)
            .arg(step.number);
    clickAt(widget, part.center());
    return {};
}

QString ScriptHand::type(const ScriptStep &step) {
    QString why;
    QWidget *widget = reachable(step.name, &why);
    if (!widget)
        return why;
    widget->setFocus(Qt::OtherFocusReason);
    // The field's text is replaced, as after select-all and typing.
    if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        if (line->isReadOnly())
            return QStringLiteral("%1 is read-only").arg(quoted(step.name));
        line->selectAll();
        line->insert(step.text);
        return {};
    }
    auto replace = [&](QTextCursor cursor) {
        cursor.select(QTextCursor::Document);
        cursor.insertText(step.text);
    };
    if (auto *edit = qobject_cast<QTextEdit *>(widget)) {
        if (edit->isReadOnly())
            return QStringLiteral("%1 is read-only").arg(quoted(step.name));
        replace(edit->textCursor());
        return {};
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        if (plain->isReadOnly())
            return QStringLiteral("%1 is read-only").arg(quoted(step.name));
        replace(plain->textCursor());
        return {};
    }
    return QStringLiteral("%1 (%2) takes no typing")
        .arg(quoted(step.name), QString::fromLatin1(widget->metaObject()->className()));
}

QString ScriptHand::key(const ScriptStep &step) {
    QString why;
    QWidget *widget = reachable(step.name, &why);
    if (!widget)
        return why;
    const std::optional<QKeyCombination> key = Script::keyOf(step.text);
    if (!key)
        return QStringLiteral("does not know the key %1").arg(quoted(step.text));
    widget->setFocus(Qt::OtherFocusReason);
    // Sent to the named widget. Qt still offers a sent key press to the shortcut map first
    // (unless the widget claims the key); press goes the window system's way instead.
    QPointer<QWidget> target = widget;
    QKeyEvent press(QEvent::KeyPress, key->key(), key->keyboardModifiers());
    QApplication::sendEvent(target, &press);
    if (target) {
        QKeyEvent release(QEvent::KeyRelease, key->key(), key->keyboardModifiers());
        QApplication::sendEvent(target, &release);
    }
    return {};
}

QString ScriptHand::press(const ScriptStep &step) {
    const std::optional<QKeyCombination> key = Script::keyOf(step.text);
    if (!key)
        return QStringLiteral("does not know the key %1").arg(quoted(step.text));
    // A person's key goes to the active window, and there to the widget with the focus (or the
    // window itself). With no window active, the script's window is the one in front of them.
    QWidget *top = QApplication::activeWindow();
    if (!top) {
        top = m_window;
        QApplication::setActiveWindow(top);
    }
    QWindow *handle = top->windowHandle();
    if (!handle || !top->isVisible())
        return QStringLiteral("%1 is not on screen to take a key").arg(screenName(top));
    // The text a keyboard gives with the key: a line edit types it, a shortcut ignores it.
    QString text;
    const Qt::KeyboardModifiers mods = key->keyboardModifiers();
    if (key->key() < Qt::Key_Escape &&
        !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        const char32_t unicode = char32_t(key->key());
        text = QString::fromUcs4(&unicode, 1);
        if (!(mods & Qt::ShiftModifier))
            text = text.toLower();
    }
    const QPointer<QWindow> target = handle;
    qt_handleKeyEvent(handle, QEvent::KeyPress, key->key(), mods, text);
    // The press may have closed the window (Escape on a dialog).
    if (target && target->isVisible())
        qt_handleKeyEvent(target, QEvent::KeyRelease, key->key(), mods, text);
    return {};
}

QString ScriptHand::row(const ScriptStep &step) {
    QString why;
    QWidget *widget = reachable(step.name, &why);
    if (!widget)
        return why;
    auto *view = qobject_cast<QAbstractItemView *>(widget);
    if (!view || !view->model())
        return QStringLiteral("%1 (%2) is not a list")
            .arg(quoted(step.name), QString::fromLatin1(widget->metaObject()->className()));
    const QModelIndex root = view->rootIndex();
    const int rows = view->model()->rowCount(root);
    if (step.number >= rows)
        return QStringLiteral("%1 has %2 rows; there is no row %3")
            .arg(quoted(step.name))
            .arg(rows)
            .arg(step.number);
    const QModelIndex index = view->model()->index(step.number, 0, root);
    view->scrollTo(index);
    const QRect rect = view->visualRect(index).intersected(view->viewport()->rect());
    if (rect.isEmpty())
        return QStringLiteral("row %1 of %2 is not on screen")
            .arg(step.number)
            .arg(quoted(step.name));
    clickAt(view->viewport(), rect.center());
    return {};
}

QString ScriptHand::back() {
    QWidget *w = m_window;
    if (ProgressHud::isBlocking())
        return QStringLiteral("the progress indicator blocks the screen; wait first");
    ViewController *screen = ScreenProbe::topScreen(w);
    NavigationController *stack = screen ? screen->navigationController() : nullptr;
    if (!stack || stack->viewControllers().size() < 2)
        return QStringLiteral("there is no screen to go back to from %1").arg(screenName(w));
    auto *button = qobject_cast<QAbstractButton *>(screen->leftBarButton());
    if (button && button->isVisible() && button->isEnabled())
        button->click();
    else
        stack->popViewController(true);
    return {};
}

QString ScriptHand::tab(const ScriptStep &step) {
    QWidget *w = m_window;
    if (ProgressHud::isBlocking())
        return QStringLiteral("the progress indicator blocks the screen; wait first");
    TabBarController *tabs = nullptr;
    for (ViewController *c = ScreenProbe::topScreen(w); c && !tabs; c = c->parentViewController())
        tabs = qobject_cast<TabBarController *>(c);
    if (!tabs)
        return QStringLiteral("there is no tab bar on %1").arg(screenName(w));
    // A desktop window has the sections in its sidebar: the same choice, as a click there.
    if (tabs->isDesktopForm()) {
        SideBar *bar = tabs->sideBar();
        const int row = bar->rows()->rowOfSection(step.number);
        if (row < 0)
            return QStringLiteral("the sidebar has no section %1").arg(step.number);
        clickAt(bar->viewport(), bar->visualRect(bar->rows()->index(row)).center());
        return {};
    }
    if (tabs->isTabBarHidden())
        return QStringLiteral("the tab bar is hidden under %1").arg(screenName(w));
    QAbstractButton *button = tabs->tabBar()->button(step.number);
    if (!button)
        return QStringLiteral("the tab bar has no tab %1").arg(step.number);
    button->click();
    return {};
}

QString ScriptHand::tick(const ScriptStep &step) {
    if (!TickSource::isManual())
        return QStringLiteral("the countdowns run by themselves here; only the driver's wait "
                              "for tick");
    TickSource::advance(step.number * 1000);
    return {};
}
