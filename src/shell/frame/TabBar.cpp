#include "TabBar.h"

#include "Assets.h"
#include "FrameStyle.h"
#include "StyleTokens.h"

#include <QAbstractButton>
#include <QPainter>

namespace {

constexpr int IconSide = 25;
constexpr int TitlePixelSize = 10;

// One tab: the icon as drawn by its asset above a small title.
class TabBarButton : public QAbstractButton {
public:
    explicit TabBarButton(QWidget *parent)
        : QAbstractButton(parent) {
        setCheckable(true);
        // Tab reaches the sections (Ctrl+1 to Ctrl+4 are the quick way); a click keeps the
        // focus where it was.
        setFocusPolicy(Qt::TabFocus);
        StyleTokens::markKeyboardFocus(this);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setPixelSize(TitlePixelSize);
        setFont(f);
    }

    QPixmap normalIcon;
    QPixmap selectedIcon;
    QColor normalColor;
    QColor selectedColor;

    QSize sizeHint() const override { return {64, FrameStyle::TabBarHeight}; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap &icon = isChecked() && !selectedIcon.isNull() ? selectedIcon : normalIcon;
        const QRect iconRect((width() - IconSide) / 2, 5, IconSide, IconSide);
        if (!icon.isNull()) {
            const QSize fitted =
                icon.deviceIndependentSize().toSize().scaled(iconRect.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(0, 0), fitted);
            target.moveCenter(iconRect.center());
            painter.drawPixmap(target, icon);
        }
        painter.setPen(isChecked() ? selectedColor : normalColor);
        painter.setFont(font());
        painter.drawText(QRect(0, iconRect.bottom() + 2, width(), height() - iconRect.bottom() - 2),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text());
        if (hasFocus() && property("keyboardFocus").toBool()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(FrameStyle::TitleGlow), 2));
            painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 4, 4);
        }
    }
};

} // namespace

TabBar::TabBar(QWidget *parent)
    : QWidget(parent)
    , m_normalColor(QColor(FrameStyle::LabelColor))
    , m_selectedColor(QColor(FrameStyle::LabelColor)) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

QSize TabBar::sizeHint() const {
    return {FrameStyle::WindowWidth, FrameStyle::TabBarHeight};
}

void TabBar::setCount(int count) {
    count = qMax(0, count);
    while (m_buttons.size() > count) {
        delete m_buttons.takeLast();
        m_items.removeLast();
    }
    while (m_buttons.size() < count) {
        auto *button = new TabBarButton(this);
        const int index = int(m_buttons.size());
        connect(button, &QAbstractButton::clicked, this, [this, index] {
            // The checked look follows the controller's selection, not the click.
            refresh(index);
            emit tabClicked(index);
        });
        m_buttons.append(button);
        m_items.append(TabBarItem{});
        button->show();
        refresh(index);
    }
    if (m_selected >= count)
        m_selected = -1;
    layoutButtons();
}

void TabBar::layoutButtons() {
    const int count = int(m_buttons.size());
    const int w = count > 0 ? width() / count : 0;
    for (int i = 0; i < count; ++i)
        m_buttons[i]->setGeometry(i * w, 0, i == count - 1 ? width() - i * w : w, height());
}

void TabBar::resizeEvent(QResizeEvent *) {
    layoutButtons();
}

void TabBar::setItem(int index, const TabBarItem &item) {
    if (index < 0 || index >= m_items.size())
        return;
    m_items[index] = item;
    refresh(index);
}

TabBarItem TabBar::item(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : TabBarItem{};
}

void TabBar::setSelectedIndex(int index) {
    m_selected = index >= 0 && index < m_buttons.size() ? index : -1;
    for (int i = 0; i < m_buttons.size(); ++i)
        refresh(i);
}

void TabBar::setTitleColor(const QColor &normal, const QColor &selected) {
    m_normalColor = normal;
    m_selectedColor = selected;
    for (int i = 0; i < m_buttons.size(); ++i)
        refresh(i);
}

QAbstractButton *TabBar::button(int index) const {
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void TabBar::refresh(int index) {
    auto *button = static_cast<TabBarButton *>(m_buttons.value(index));
    if (!button)
        return;
    const TabBarItem &item = m_items.at(index);
    button->setText(item.title);
    const QSize iconSize(IconSide, IconSide);
    auto load = [&](const QString &name) {
        if (name.isEmpty())
            return QPixmap();
        const QSize natural = Assets::naturalSize(name);
        return Assets::pixmap(
            name, natural.isEmpty() ? iconSize : natural.scaled(iconSize, Qt::KeepAspectRatio));
    };
    button->normalIcon = load(item.normalIcon);
    button->selectedIcon = load(item.selectedIcon);
    button->normalColor = m_normalColor;
    button->selectedColor = m_selectedColor;
    button->setChecked(index == m_selected);
    button->update();
}

void TabBar::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(FrameStyle::HairlineColor));
    painter.drawLine(0, 0, width(), 0);
}
