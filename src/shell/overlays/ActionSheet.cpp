#include "ActionSheet.h"

#include "FrameStyle.h"
#include "OverlayRegistry.h"

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
    if (m_hasCancel)
        m_buttonTitles.append(cancelButtonTitle.isEmpty() ? QStringLiteral("取消")
                                                          : cancelButtonTitle);

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

void ActionSheet::layoutContent() {
    m_sheet->setFixedWidth(width());
    m_sheet->adjustSize();
    m_sheet->move(0, height() - m_sheet->height());
}

void ActionSheet::paintEvent(QPaintEvent *) {
    QPainter painter(this);
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
