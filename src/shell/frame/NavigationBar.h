#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QLabel;

// The bar across the top of a navigation stack: background image, a centred title (or a title
// view in its place), a left and a right item. It shows the navigation item of the stack's top
// screen; the items stay owned by their screen.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    QLabel *titleLabel() const { return m_titleLabel; }
    void setTitleView(QWidget *view);
    QWidget *titleView() const { return m_titleView; }
    void setLeftItem(QWidget *item);
    QWidget *leftItem() const { return m_leftItem; }
    void setRightItem(QWidget *item);
    QWidget *rightItem() const { return m_rightItem; }

    void setTitleColor(const QColor &color);
    QColor titleColor() const { return m_titleColor; }
    // An asset name; a name without an image leaves the plain fallback colour.
    void setBackgroundImage(const QString &assetName);
    QString backgroundImage() const { return m_backgroundImage; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // An item that changes its size (a bar button given a longer word) is placed again.
    bool event(QEvent *event) override;

private:
    void showItem(QPointer<QWidget> &slot, QWidget *item);
    void layoutItems();

    QLabel *m_titleLabel;
    QPointer<QWidget> m_titleView;
    QPointer<QWidget> m_leftItem;
    QPointer<QWidget> m_rightItem;
    QColor m_titleColor;
    QString m_backgroundImage;
};
