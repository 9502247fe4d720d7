#include "ActionSheet.h"

#include "DesktopForm.h"
#include "FrameStyle.h"
#include "OverlayRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int RowHeight = 50;

ModalOverlay::Stack &shownSheets() {
    return OverlayRegistry::instance().shown(OverlayKind::ActionSheet);
}

QPushButton *makeRow(const QString &title, QWidget *parent) {
    auto *button = new QPushButton(title, parent);
    button->setFlat(true);
    button->setFixedHeight(RowHeight);
    button->setAutoFillBackground(true);
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::ButtonText, QColor(FrameStyle::SheetTextColor));
    button->setPalette(pal);
    QFont f = button->font();
    f.setPixelSize(17);
    button->setFont(f);
    return button;
}
} // namespace

ActionSheet::ActionSheet(const QString &title, const QString &cancelButtonTitle,
                         const QStringList &otherButtonTitles, Callback callback)
    : ModalOverlay(shownSheets())
    , m_title(title)
    , m_buttonTitles(otherButtonTitles)
    // A sheet without any button could never be closed: it gets a cancel button.
    , m_hasCancel(!cancelButtonTitle.isEmpty() || otherButtonTitles.isEmpty())
    , m_callback(std::move(callback))
    , m_sheet(new QWidget(this)) {
    // What opened the sheet: the control under the pointer, else the one with the focus.
    QWidget *under = QApplication::widgetAt(QCursor::pos());
    m_anchor = qobject_cast<QAbstractButton *>(under) ? under : QApplication::focusWidget();
    if (m_hasCancel)
        m_buttonTitles.append(cancelButtonTitle.isEmpty() ? tr("取消") : cancelButtonTitle);

    //: What a screen reader calls a list of choices that has no title.
    setAccessibleName(title.isEmpty() ? tr("选项") : title);

    auto *column = new QVBoxLayout(m_sheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1); // the gaps show the backdrop as hairlines between the rows
    if (!title.isEmpty()) {
        auto *label = new QLabel(title, m_sheet);
        label->setObjectName(QStringLiteral("sheetTitle"));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setMinimumHeight(44);
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, QColor(FrameStyle::SheetTitleColor));
        label->setPalette(pal);
        QFont f = label->font();
        f.setPixelSize(13);
        label->setFont(f);
        column->addWidget(label);
    }
    for (int i = 0; i < m_buttonTitles.size(); ++i) {
        if (m_hasCancel && i == m_buttonTitles.size() - 1)
            column->addSpacing(7);
        auto *button = makeRow(m_buttonTitles.at(i), m_sheet);
        connect(button, &QPushButton::clicked, this, [this, i] { clickButton(i); });
        column->addWidget(button);
        m_buttons.append(button);
    }
}

ActionSheet::~ActionSheet() = default;

ActionSheet *ActionSheet::show(const QString &title, const QString &cancelButtonTitle,
                               const QStringList &otherButtonTitles, Callback callback,
                               int destructiveButtonIndex) {
    auto *sheet = new ActionSheet(title, cancelButtonTitle, otherButtonTitles, std::move(callback));
    sheet->setDestructiveButtonIndex(destructiveButtonIndex);
    sheet->show();
    return sheet;
}

ActionSheet *ActionSheet::current() {
    return static_cast<ActionSheet *>(top(shownSheets()));
}

void ActionSheet::setDestructiveButtonIndex(int index) {
    const int others = int(m_buttonTitles.size()) - (m_hasCancel ? 1 : 0);
    m_destructive = index >= 0 && index < others ? index : -1;
    for (int i = 0; i < m_buttons.size(); ++i) {
        QPalette pal = m_buttons[i]->palette();
        pal.setColor(QPalette::ButtonText, i == m_destructive ? QColor(FrameStyle::SelectedRed)
                                                              : QColor(FrameStyle::SheetTextColor));
        m_buttons[i]->setPalette(pal);
    }
}

int ActionSheet::cancelButtonIndex() const {
    return m_hasCancel ? int(m_buttonTitles.size()) - 1 : -1;
}

QString ActionSheet::buttonTitleAtIndex(int index) const {
    return m_buttonTitles.value(index);
}

QPushButton *ActionSheet::button(int index) const {
    return m_buttons.value(index);
}

void ActionSheet::clickButton(int index) {
    if (index < 0 || index >= m_buttonTitles.size() || !dismiss())
        return;
    if (Callback callback = std::move(m_callback))
        callback(index);
}

bool ActionSheet::isPopup() const {
    return DesktopForm::holds(this);
}

void ActionSheet::layoutContent() {
    if (!isPopup()) {
        m_sheet->setFixedWidth(width());
        m_sheet->adjustSize();
        m_sheet->move(0, height() - m_sheet->height());
        return;
    }
    // On a desktop window, a menu-sized popup under what opened it (else in the middle).
    m_sheet->setFixedWidth(PopupWidth);
    m_sheet->adjustSize();
    QPoint at((width() - PopupWidth) / 2, (height() - m_sheet->height()) / 2);
    if (m_anchor && m_anchor->isVisible() && m_anchor->window() == window()) {
        const QRect anchor(m_anchor->mapTo(window(), QPoint(0, 0)), m_anchor->size());
        at = mapFrom(window(), anchor.bottomLeft() + QPoint(0, 1));
        if (at.y() + m_sheet->height() > height())
            at.setY(mapFrom(window(), anchor.topLeft()).y() - m_sheet->height() - 1);
    }
    at.setX(qBound(0, at.x(), qMax(0, width() - PopupWidth)));
    at.setY(qBound(0, at.y(), qMax(0, height() - m_sheet->height())));
    m_sheet->move(at);
}

void ActionSheet::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (isPopup()) {
        // No scrim over the whole window: a popup's outline.
        painter.fillRect(m_sheet->geometry().adjusted(-1, -1, 1, 1), QColor(FrameStyle::FadedLine));
        painter.fillRect(m_sheet->geometry(), QColor(FrameStyle::SheetBackground));
        return;
    }
    painter.fillRect(rect(), QColor::fromRgba(FrameStyle::Scrim));
    // Behind the rows: the colour of the hairlines and of the gap above the cancel row.
    painter.fillRect(m_sheet->geometry(), QColor(FrameStyle::SheetBackground));
}

void ActionSheet::mousePressEvent(QMouseEvent *event) {
    // Outside the sheet: the same as cancel. Without a cancel button the sheet stays.
    if (!m_sheet->geometry().contains(event->position().toPoint()) && m_hasCancel) {
        clickButton(cancelButtonIndex());
        return;
    }
    event->accept();
}

void ActionSheet::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && m_hasCancel) {
        clickButton(cancelButtonIndex());
        return;
    }
    QWidget::keyPressEvent(event);
}
