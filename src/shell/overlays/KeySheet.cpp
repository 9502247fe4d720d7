#include "KeySheet.h"

#include "AppWindow.h"
#include "FrameStyle.h"
#include "OverlayRegistry.h"
#include "ViewController.h"

#include <QAction>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QSet>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
constexpr int PanelWidth = 340;
const QString KeySeparator = QStringLiteral(" / ");

ModalOverlay::Stack &shownSheets() {
    return OverlayRegistry::instance().shown(OverlayKind::KeySheet);
}

// A key works when its owner is the window, or the screen the teacher sees, a widget inside it or
// inside one of the frames around it (its stack with the bar, the tab bar); screens covered or on
// another tab are hidden and their keys do not answer.
enum class Scope { None, Screen, Everywhere };

Scope scopeOf(QWidget *owner, AppWindow *window, ViewController *screen) {
    if (!owner)
        return Scope::None;
    if (owner == window)
        return Scope::Everywhere;
    if (!screen || !owner->isVisibleTo(window))
        return Scope::None;
    if (owner == screen || screen->isAncestorOf(owner))
        return Scope::Screen;
    QWidget *frame = owner;
    while (frame && !qobject_cast<ViewController *>(frame))
        frame = frame->parentWidget();
    return frame && frame->isAncestorOf(screen) ? Scope::Screen : Scope::None;
}

void addKeys(QList<KeySheet::Row> *rows, const QList<QKeySequence> &keys,
             const QString &description, bool everywhere) {
    QStringList texts;
    for (const QKeySequence &key : keys) {
        if (!key.isEmpty())
            texts << key.toString(QKeySequence::NativeText);
    }
    if (texts.isEmpty())
        return;
    if (!description.isEmpty()) {
        for (KeySheet::Row &row : *rows) {
            if (row.description != description || row.everywhere != everywhere)
                continue;
            QStringList have = row.keys.split(KeySeparator);
            for (const QString &text : std::as_const(texts)) {
                if (!have.contains(text))
                    have << text;
            }
            row.keys = have.join(KeySeparator);
            return;
        }
    }
    texts.removeDuplicates();
    rows->append({texts.join(KeySeparator), description, everywhere});
}

QLabel *label(const QString &text, QWidget *parent, int pixelSize, QRgb color, bool bold = false) {
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(color));
    label->setPalette(palette);
    return label;
}
} // namespace

QList<KeySheet::Row> KeySheet::rowsFor(AppWindow *window) {
    QList<Row> screenRows;
    QList<Row> windowRows;
    if (!window)
        return screenRows;
    ViewController *screen = window->visibleScreen();
    const auto take = [&](Scope scope, const QList<QKeySequence> &keys, const QString &text) {
        if (scope != Scope::None)
            addKeys(scope == Scope::Everywhere ? &windowRows : &screenRows, keys, text,
                    scope == Scope::Everywhere);
    };

    const auto shortcuts = window->findChildren<QShortcut *>();
    for (QShortcut *shortcut : shortcuts) {
        if (shortcut->isEnabled())
            take(scopeOf(qobject_cast<QWidget *>(shortcut->parent()), window, screen),
                 shortcut->keys(), shortcut->whatsThis());
    }
    QList<QWidget *> widgets{window};
    widgets += window->findChildren<QWidget *>();
    QSet<QAction *> seen;
    for (QWidget *widget : std::as_const(widgets)) {
        const Scope scope = scopeOf(widget, window, screen);
        if (scope == Scope::None)
            continue;
        const auto actions = widget->actions();
        for (QAction *action : actions) {
            if (!action->isEnabled() || !action->isVisible() || seen.contains(action))
                continue;
            seen.insert(action);
            const QString text = action->whatsThis().isEmpty()
                                     ? action->text().remove(QLatin1Char('&'))
                                     : action->whatsThis();
            take(scope, action->shortcuts(), text);
        }
    }
    return screenRows + windowRows;
}

QShortcut *KeySheet::keyInView(AppWindow *window, const QKeySequence &key) {
    if (!window)
        return nullptr;
    ViewController *screen = window->visibleScreen();
    QShortcut *everywhere = nullptr;
    const auto shortcuts = window->findChildren<QShortcut *>();
    for (QShortcut *shortcut : shortcuts) {
        if (!shortcut->isEnabled() || !shortcut->keys().contains(key))
            continue;
        const Scope scope = scopeOf(qobject_cast<QWidget *>(shortcut->parent()), window, screen);
        if (scope == Scope::Screen)
            return shortcut;
        if (scope == Scope::Everywhere && !everywhere)
            everywhere = shortcut;
    }
    return everywhere;
}

KeySheet *KeySheet::toggle(AppWindow *window) {
    if (KeySheet *open = current()) {
        open->closeSheet();
        return nullptr;
    }
    auto *sheet = new KeySheet(rowsFor(window));
    sheet->show();
    return sheet;
}

KeySheet *KeySheet::current() {
    return static_cast<KeySheet *>(top(shownSheets()));
}

KeySheet::KeySheet(QList<Row> rows)
    : ModalOverlay(shownSheets())
    , m_rows(std::move(rows))
    , m_panel(new ModalCard(this)) {
    setObjectName(QStringLiteral("keySheet"));
    setAccessibleName(tr("快捷键一览"));
    setFocusPolicy(Qt::StrongFocus);
    m_panel->setObjectName(QStringLiteral("keySheetPanel"));

    auto *column = new QVBoxLayout(m_panel);
    column->setContentsMargins(16, 16, 16, 12);
    column->setSpacing(10);
    QLabel *title = label(tr("快捷键"), m_panel, 17, FrameStyle::TitleColor, true);
    title->setObjectName(QStringLiteral("keySheetTitle"));
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);

    auto *scroll = new QScrollArea(m_panel);
    scroll->setObjectName(QStringLiteral("keySheetList"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *list = new QWidget;
    scroll->viewport()->setAutoFillBackground(false);
    auto *grid = new QGridLayout(list);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    int line = 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        if (i == 0 || row.everywhere != m_rows.at(i - 1).everywhere) {
            QLabel *section = label(row.everywhere ? tr("全局") : tr("本页"), list, 13,
                                    FrameStyle::SheetTitleColor);
            section->setObjectName(row.everywhere ? QStringLiteral("keySheetEverywhere")
                                                  : QStringLiteral("keySheetScreen"));
            grid->addWidget(section, line++, 0, 1, 2);
        }
        QLabel *keys = label(row.keys, list, 14, FrameStyle::TitleColor, true);
        keys->setObjectName(QStringLiteral("keySheetKeys%1").arg(i));
        keys->setAccessibleName(row.description.isEmpty()
                                    ? row.keys
                                    //: A key and what it does, read aloud.
                                    : tr("%1：%2").arg(row.keys, row.description));
        QLabel *text = label(row.description, list, 14, FrameStyle::SheetTextColor);
        text->setObjectName(QStringLiteral("keySheetText%1").arg(i));
        text->setAccessibleName(row.description);
        grid->addWidget(keys, line, 0, Qt::AlignTop);
        grid->addWidget(text, line++, 1, Qt::AlignTop);
    }
    scroll->setWidget(list);
    // The list lies on the white card, not on a panel of its own.
    list->setAutoFillBackground(false);
    column->addWidget(scroll, 1);

    QLabel *hint = label(tr("按 Esc 或 F1 关闭"), m_panel, 12, FrameStyle::SheetTitleColor);
    hint->setObjectName(QStringLiteral("keySheetHint"));
    hint->setAlignment(Qt::AlignCenter);
    column->addWidget(hint);
}

void KeySheet::closeSheet() {
    dismiss();
}

void KeySheet::layoutContent() {
    const int width = qMin(PanelWidth, qMax(160, this->width() - 32));
    m_panel->setFixedWidth(width);
    auto *scroll = m_panel->findChild<QScrollArea *>();
    const int wanted = m_panel->layout()->sizeHint().height() - scroll->sizeHint().height() +
                       (scroll->widget() ? scroll->widget()->sizeHint().height() : 0);
    m_panel->setFixedHeight(qMin(wanted, qMax(120, height() - 32)));
    m_panel->move((this->width() - width) / 2, (height() - m_panel->height()) / 2);
}

void KeySheet::keyPressEvent(QKeyEvent *event) {
    const bool slash = event->key() == Qt::Key_Slash && (event->modifiers() & Qt::ControlModifier);
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F1 || slash) {
        closeSheet();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KeySheet::mousePressEvent(QMouseEvent *) {
    closeSheet();
}

void KeySheet::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgba(FrameStyle::Scrim));
}
