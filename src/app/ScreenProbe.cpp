#include "ScreenProbe.h"

#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "DesktopForm.h"
#include "ImageLoader.h"
#include "ModalOverlay.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "SegmentedControl.h"
#include "TabBarController.h"
#include "TeacherRequestManager.h"
#include "ViewController.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>

namespace {

bool isContainer(const ViewController *controller) {
    return qobject_cast<const NavigationController *>(controller) ||
           qobject_cast<const TabBarController *>(controller);
}

// Shown, and every parent up to the window shown too.
bool isShown(const QWidget *widget, const QWidget *window) {
    return widget && !widget->isHidden() && (widget == window || widget->isVisibleTo(window));
}

// By object name, or when `byClass` by class (the class itself or one it inherits).
QWidget *firstShown(QWidget *scope, const QString &name, bool byClass, const QWidget *window) {
    const QByteArray className = name.toLatin1();
    auto matches = [&](const QWidget *widget) {
        return byClass ? widget->inherits(className.constData()) : widget->objectName() == name;
    };
    if (matches(scope) && isShown(scope, window))
        return scope;
    const auto inside =
        byClass ? scope->findChildren<QWidget *>() : scope->findChildren<QWidget *>(name);
    for (QWidget *widget : inside) {
        if (matches(widget) && isShown(widget, window))
            return widget;
    }
    return nullptr;
}

// A role's value as JSON. Values JSON has no form for (a picture) are described in words, so a
// reader still sees that the role holds something; a role without data is null.
QJsonValue toJson(const QVariant &value) {
    if (!value.isValid())
        return QJsonValue::Null;
    // A picture by its kind and size; an empty one is no picture.
    auto picture = [](const char *kind, QSize size) -> QJsonValue {
        if (size.isEmpty())
            return QJsonValue::Null;
        return QStringLiteral("%1 %2x%3")
            .arg(QLatin1String(kind))
            .arg(size.width())
            .arg(size.height());
    };
    switch (value.metaType().id()) {
    case QMetaType::QPixmap:
        return picture("QPixmap", value.value<QPixmap>().size());
    case QMetaType::QImage:
        return picture("QImage", value.value<QImage>().size());
    case QMetaType::QIcon:
        return value.value<QIcon>().isNull() ? QJsonValue(QJsonValue::Null)
                                             : QJsonValue(QStringLiteral("QIcon"));
    case QMetaType::QStringList:
        return QJsonArray::fromStringList(value.toStringList());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QSize:
        return QJsonArray{value.toSize().width(), value.toSize().height()};
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QColor:
    case QMetaType::QUrl:
        return value.toString();
    default:
        if (value.canConvert<QString>())
            return value.toString();
        return QString::fromLatin1(value.metaType().name());
    }
}

// A row as the view shows it: its display text, and every role the model names (a cell's parts,
// Qt's own roles too), null where the row has no data for it.
QJsonObject describeRow(const QAbstractItemModel *model, const QModelIndex &index) {
    QJsonObject row;
    row.insert(QStringLiteral("text"), index.data(Qt::DisplayRole).toString());
    QJsonObject roles;
    const auto names = model->roleNames();
    for (auto it = names.constBegin(); it != names.constEnd(); ++it)
        roles.insert(QString::fromUtf8(it.value()), toJson(index.data(it.key())));
    if (!roles.isEmpty())
        row.insert(QStringLiteral("roles"), roles);
    return row;
}

// The parts a widget paints itself and names for accessibility (a bar's columns, a tab bar's
// tabs): its accessible children that are no widgets of their own, which the tree lists anyway.
// An item view's cells are left to its rows.
QJsonArray describeParts(const QWidget *widget, const QWidget *window) {
    QJsonArray parts;
    if (qobject_cast<const QAbstractItemView *>(widget))
        return parts;
    QAccessibleInterface *self =
        QAccessible::queryAccessibleInterface(const_cast<QWidget *>(widget));
    if (!self || !self->isValid())
        return parts;
    for (int i = 0; i < self->childCount(); ++i) {
        QAccessibleInterface *part = self->child(i);
        if (!part || !part->isValid() || qobject_cast<QWidget *>(part->object()))
            continue;
        const QString name = part->text(QAccessible::Name);
        if (name.isEmpty())
            continue;
        const QRect area = part->rect();
        const QPoint origin = window->mapFromGlobal(area.topLeft());
        parts.append(
            QJsonObject{{QStringLiteral("accessibleName"), name},
                        {QStringLiteral("geometry"),
                         QJsonArray{origin.x(), origin.y(), area.width(), area.height()}}});
    }
    return parts;
}

QJsonArray describeRows(const QAbstractItemView *view) {
    QJsonArray rows;
    const QAbstractItemModel *model = view->model();
    if (!model)
        return rows;
    const QModelIndex root = view->rootIndex();
    const auto *list = qobject_cast<const QListView *>(view);
    const int column = list ? list->modelColumn() : 0;
    // A table's row is read across: the text of each of its columns, as the header orders them.
    const auto *table = qobject_cast<const QTableView *>(view);
    const int columns = table ? model->columnCount(root) : 0;
    for (int r = 0; r < model->rowCount(root); ++r) {
        QJsonObject row = describeRow(model, model->index(r, column, root));
        QJsonArray cells;
        for (int visual = 0; columns > 1 && visual < columns; ++visual) {
            const int logical = table->horizontalHeader()->logicalIndex(visual);
            if (!table->isColumnHidden(logical))
                cells.append(model->index(r, logical, root).data(Qt::DisplayRole).toString());
        }
        if (!cells.isEmpty())
            row.insert(QStringLiteral("cells"), cells);
        rows.append(row);
    }
    return rows;
}

// A header's sections as shown, with the one the rows are sorted by.
QJsonArray describeSections(const QHeaderView *header) {
    QJsonArray sections;
    for (int visual = 0; header->model() && visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        QJsonObject section{
            {QStringLiteral("text"),
             header->model()->headerData(logical, header->orientation()).toString()}};
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == logical)
            section.insert(QStringLiteral("sorted"),
                           header->sortIndicatorOrder() == Qt::AscendingOrder
                               ? QStringLiteral("ascending")
                               : QStringLiteral("descending"));
        sections.append(section);
    }
    return sections;
}

void countRunning(const QObject *root, int *running) {
    const auto animations = root->findChildren<QAbstractAnimation *>();
    for (const QAbstractAnimation *animation : animations) {
        // Groups run with their members; count what moves, once.
        if (animation->state() == QAbstractAnimation::Running && !animation->group())
            ++*running;
    }
}

bool isProgramClass(const QWidget *widget) {
    // The overlay base is abstract: a widget reporting it is a subclass without a meta-object of
    // its own (a dialog's backdrop), named better by what it holds.
    if (widget->metaObject() == &ModalOverlay::staticMetaObject)
        return false;
    const QLatin1String name(widget->metaObject()->className());
    const bool qtClass = name.size() > 1 && name[0] == QLatin1Char('Q') && QChar(name[1]).isUpper();
    return !qtClass && !name.contains(QLatin1String("::"));
}

QString programClassName(const QWidget *widget) {
    if (isProgramClass(widget))
        return QString::fromLatin1(widget->metaObject()->className());
    const auto inside = widget->findChildren<QWidget *>();
    for (const QWidget *child : inside) {
        if (!child->isHidden() && isProgramClass(child))
            return QString::fromLatin1(child->metaObject()->className());
    }
    return widget->objectName();
}

} // namespace

QWidget *ScreenProbe::coveringOverlay(QWidget *window) {
    const int windowArea = window ? window->width() * window->height() : 0;
    const auto above = overlays(window);
    for (QWidget *overlay : above) {
        // Strips along an edge (the input toolbar) and small notices are not what one looks at.
        const bool large = overlay->width() * overlay->height() * 2 >= windowArea;
        if (large && overlay->objectName() != QLatin1String("ProgressHud"))
            return overlay;
    }
    return nullptr;
}

QString ScreenProbe::onTopName(QWidget *window) {
    if (const QWidget *overlay = coveringOverlay(window))
        return programClassName(overlay);
    const QWidget *screen = topScreen(window);
    if (!screen)
        screen = window;
    return screen ? QString::fromLatin1(screen->metaObject()->className()) : QString();
}

ViewController *ScreenProbe::topScreen(QWidget *window) {
    auto *appWindow = qobject_cast<AppWindow *>(window);
    ViewController *controller = appWindow ? appWindow->rootViewController() : nullptr;
    while (controller) {
        if (ViewController *presented = controller->presentedViewController()) {
            controller = presented;
            continue;
        }
        if (!isContainer(controller))
            return controller;
        const QList<ViewController *> shown = controller->visibleChildViewControllers();
        if (shown.isEmpty())
            return controller;
        controller = shown.last();
    }
    return nullptr;
}

QList<QWidget *> ScreenProbe::overlays(QWidget *window) {
    QList<QWidget *> found;
    if (!window)
        return found;
    // Pop-ups and windows of their own (an alert shown without a host) lie over everything.
    if (QWidget *popup = QApplication::activePopupWidget())
        found << popup;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        if (top != window && top->isVisible() && !found.contains(top) &&
            !top->inherits("QDesktopScreenWidget"))
            found << top;
    }
    auto *appWindow = qobject_cast<AppWindow *>(window);
    const QWidget *content = appWindow ? appWindow->contentLayer() : nullptr;
    const QObjectList children = window->children();
    // Later children are stacked higher.
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *widget = qobject_cast<QWidget *>(*it);
        // The menu bar is the window's own, above the screens but over none of them.
        if (widget && widget != content && !widget->isWindow() && isShown(widget, window) &&
            content && !qobject_cast<QMenuBar *>(widget))
            found << widget;
    }
    return found;
}

QWidget *ScreenProbe::findWidget(QWidget *window, const QString &name) {
    if (!window || name.isEmpty())
        return nullptr;
    const auto above = overlays(window);
    // Object names first; a class name serves for widgets nobody named (a title view's switch).
    for (const bool byClass : {false, true}) {
        for (QWidget *overlay : above) {
            if (QWidget *match = firstShown(overlay, name, byClass, overlay->window()))
                return match;
        }
        // From the top screen outwards: the nearest match wins over one in the surrounding
        // chrome.
        QWidget *scope = topScreen(window);
        if (!scope)
            scope = window;
        for (; scope; scope = scope->parentWidget()) {
            if (QWidget *match = firstShown(scope, name, byClass, window))
                return match;
            if (scope == window)
                break;
        }
    }
    return nullptr;
}

std::optional<QString> ScreenProbe::visibleText(const QWidget *widget) {
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->text().isEmpty() && (!label->pixmap().isNull() || label->movie()))
            return std::nullopt;
        const bool rich =
            label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        return rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text();
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->displayText();
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return edit->toPlainText();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return plain->toPlainText();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    if (const auto *segments = qobject_cast<const SegmentedControl *>(widget))
        return segments->titleForSegmentAtIndex(segments->selectedSegmentIndex());
    if (const auto *bar = qobject_cast<const NavigationBar *>(widget))
        return bar->title();
    // Custom widgets that paint a text of their own usually expose it as "text".
    const QMetaObject *meta = widget->metaObject();
    const int index = meta->indexOfProperty("text");
    if (index >= 0 && meta->property(index).metaType().id() == QMetaType::QString)
        return meta->property(index).read(widget).toString();
    return std::nullopt;
}

QJsonObject ScreenProbe::describeTree(const QWidget *widget, const QWidget *window) {
    QJsonObject node;
    node.insert(QStringLiteral("class"), QString::fromLatin1(widget->metaObject()->className()));
    if (!widget->objectName().isEmpty())
        node.insert(QStringLiteral("name"), widget->objectName());
    if (const std::optional<QString> text = visibleText(widget)) {
        node.insert(QStringLiteral("text"), *text);
    } else {
        // What a person cannot read off a text, a screen reader still says: the name a widget
        // gives itself, or its painted parts give themselves.
        if (!widget->accessibleName().isEmpty())
            node.insert(QStringLiteral("accessibleName"), widget->accessibleName());
        if (const QJsonArray parts = describeParts(widget, window); !parts.isEmpty())
            node.insert(QStringLiteral("parts"), parts);
    }
    const QPoint origin = widget == window ? QPoint() : widget->mapTo(window, QPoint());
    node.insert(QStringLiteral("geometry"),
                QJsonArray{origin.x(), origin.y(), widget->width(), widget->height()});
    node.insert(QStringLiteral("enabled"), widget->isEnabled());
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget);
        button && button->isCheckable()) {
        node.insert(QStringLiteral("checked"), button->isChecked());
    }
    if (const auto *segments = qobject_cast<const SegmentedControl *>(widget)) {
        node.insert(QStringLiteral("segments"), QJsonArray::fromStringList(segments->titles()));
        node.insert(QStringLiteral("selected"), segments->selectedSegmentIndex());
    }
    const QVariant tag = widget->property("tag");
    if (tag.isValid())
        node.insert(QStringLiteral("tag"), tag.toInt());
    if (const auto *header = qobject_cast<const QHeaderView *>(widget))
        node.insert(QStringLiteral("sections"), describeSections(header));
    else if (const auto *view = qobject_cast<const QAbstractItemView *>(widget))
        node.insert(QStringLiteral("rows"), describeRows(view));

    QJsonArray children;
    const QObjectList objects = widget->children();
    for (const QObject *object : objects) {
        const auto *child = qobject_cast<const QWidget *>(object);
        if (child && !child->isWindow() && !child->isHidden())
            children.append(describeTree(child, window));
    }
    if (!children.isEmpty())
        node.insert(QStringLiteral("children"), children);
    return node;
}

QAction *ScreenProbe::findMenuAction(QWidget *window, const QString &name) {
    const auto *bar = window ? window->findChild<QMenuBar *>() : nullptr;
    if (!bar || !isShown(bar, window) || name.isEmpty())
        return nullptr;
    return bar->findChild<QAction *>(name);
}

QJsonObject ScreenProbe::describeMenuBar(QWidget *window) {
    QJsonObject out;
    const auto *bar = window ? window->findChild<QMenuBar *>() : nullptr;
    if (!bar || !isShown(bar, window))
        return out;
    const auto entry = [](const QAction *action) {
        QJsonObject item{{QStringLiteral("name"), action->objectName()},
                         {QStringLiteral("text"), action->text()},
                         {QStringLiteral("enabled"), action->isEnabled()}};
        if (!action->shortcut().isEmpty())
            item.insert(QStringLiteral("key"),
                        action->shortcut().toString(QKeySequence::PortableText));
        return item;
    };
    QJsonArray menus;
    const auto titles = bar->actions();
    for (const QAction *title : titles) {
        const QMenu *menu = title->menu();
        if (!menu)
            continue;
        QJsonObject described = entry(title);
        described.insert(QStringLiteral("name"), menu->objectName());
        QJsonArray items;
        const auto actions = menu->actions();
        for (const QAction *action : actions) {
            if (!action->isSeparator())
                items.append(entry(action));
        }
        described.insert(QStringLiteral("actions"), items);
        menus.append(described);
    }
    const QPoint origin = bar->mapTo(window, QPoint());
    out.insert(QStringLiteral("name"), bar->objectName());
    out.insert(QStringLiteral("geometry"),
               QJsonArray{origin.x(), origin.y(), bar->width(), bar->height()});
    out.insert(QStringLiteral("menus"), menus);
    return out;
}

QJsonObject ScreenProbe::dump(QWidget *window) {
    QJsonObject out;
    if (!window)
        return out;
    ViewController *screen = topScreen(window);
    const QWidget *root = screen ? static_cast<QWidget *>(screen) : window;
    out.insert(QStringLiteral("screen"), QString::fromLatin1(root->metaObject()->className()));
    // A desktop window shows more than its top screen: the sidebar, the list beside its detail.
    auto *appWindow = qobject_cast<AppWindow *>(window);
    if (appWindow && appWindow->visibleScreen() && DesktopForm::holds(window))
        root = appWindow->visibleScreen();
    if (screen && !screen->title().isEmpty())
        out.insert(QStringLiteral("title"), screen->title());
    out.insert(QStringLiteral("window"), QJsonArray{window->width(), window->height()});
    if (NavigationController *stack = screen ? screen->navigationController() : nullptr;
        stack && !stack->isNavigationBarHidden() && isShown(stack->navigationBar(), window)) {
        out.insert(QStringLiteral("navigationBar"), describeTree(stack->navigationBar(), window));
    }
    if (const QJsonObject bar = describeMenuBar(window); !bar.isEmpty())
        out.insert(QStringLiteral("menuBar"), bar);
    QJsonArray above;
    const auto overlayWidgets = overlays(window);
    for (const QWidget *overlay : overlayWidgets)
        above.append(describeTree(overlay, overlay->isWindow() ? overlay : window));
    if (!above.isEmpty())
        out.insert(QStringLiteral("overlays"), above);
    out.insert(QStringLiteral("tree"), describeTree(root, window));
    return out;
}

bool ScreenProbe::Busy::isIdle() const {
    return serviceCalls == 0 && imageRequests == 0 && !progressHud && animations == 0;
}

bool ScreenProbe::Busy::isContentComplete() const {
    return serviceCalls <= refreshingKept && imageRequests == 0 && !progressHud && refreshing == 0;
}

QString ScreenProbe::Busy::describe() const {
    QStringList parts;
    if (serviceCalls > 0)
        parts << QStringLiteral("%1 service call(s) in flight").arg(serviceCalls);
    if (imageRequests > 0)
        parts << QStringLiteral("%1 image download(s) in flight").arg(imageRequests);
    if (progressHud)
        parts << QStringLiteral("the progress indicator is up");
    if (animations > 0)
        parts << QStringLiteral("%1 animation(s) running").arg(animations);
    return parts.join(QStringLiteral(", "));
}

ScreenProbe::Busy ScreenProbe::busy(QWidget *window) {
    Busy state;
    state.serviceCalls = BaseAFHttpManager::callsInFlight();
    state.refreshingKept = TeacherRequestManager::refreshesBehindKept();
    state.imageRequests = ImageLoader::instance().requestsInFlight();
    state.progressHud = ProgressHud::isVisible();
    if (QCoreApplication *app = QCoreApplication::instance())
        countRunning(app, &state.animations);
    const auto tops = QApplication::topLevelWidgets();
    for (const QWidget *top : tops)
        countRunning(top, &state.animations);
    if (window) {
        const auto headers = window->findChildren<RefreshHeader *>();
        state.refreshing =
            int(std::count_if(headers.begin(), headers.end(),
                              [](const RefreshHeader *h) { return h->isRefreshing(); }));
        // A slide whose animation lives outside the widget tree still counts.
        const auto stacks = window->findChildren<NavigationController *>();
        for (const NavigationController *stack : stacks) {
            if (stack->isTransitioning() && state.animations == 0)
                ++state.animations;
        }
    }
    return state;
}
