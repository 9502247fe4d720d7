#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

#include <QAbstractButton>

struct TabBarItem {
    QString title;
    QString normalIcon;   // asset name
    QString selectedIcon; // asset name
};

// The white bar of tab buttons at the bottom of a tab bar controller. Icons are drawn in their
// own colours, never tinted; only the titles change colour with the selection.
class TabBar : public QWidget {
    Q_OBJECT
public:
    explicit TabBar(QWidget *parent = nullptr);

    void setCount(int count);
    int count() const { return m_buttons.size(); }
    void setItem(int index, const TabBarItem &item);
    TabBarItem item(int index) const;
    void setSelectedIndex(int index);
    int selectedIndex() const { return m_selected; }
    void setTitleColor(const QColor &normal, const QColor &selected);
    QColor titleColor(bool selected) const { return selected ? m_selectedColor : m_normalColor; }
    QAbstractButton *button(int index) const;

    QSize sizeHint() const override;

signals:
    void tabClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh(int index);
    void layoutButtons();

    QList<QAbstractButton *> m_buttons;
    QList<TabBarItem> m_items;
    int m_selected = -1;
    QColor m_normalColor;
    QColor m_selectedColor;
};
