#pragma once

#include <QColor>
#include <QWidget>

class QVariantAnimation;

// One column of a drop-down bar: its background, a title and a small triangle after it, turned
// by `angle` (0 points down). Taps go through to the bar, which sets the colours.
class DropDownBarColumn : public QWidget {
    Q_OBJECT
public:
    // How the bars differ: the roster's centres the title in the whole column with the triangle's
    // left edge a gap after it; the filter bar centres the font's line a little above the middle
    // with the triangle's centre a gap after it, and cuts long titles in their middle.
    struct Look {
        int titlePixelSize = 13;
        Qt::TextElideMode elision = Qt::ElideMiddle;
        // A title wider than the column less 25 is cut to the column less this.
        int cutMargin = 25;
        bool onFontLine = true;
        int turnMs = 0;
    };

    DropDownBarColumn(const Look &look, QWidget *parent);

    void setTitle(const QString &title);
    QString title() const { return m_title; }
    // The title as drawn, cut to fit.
    QString shownTitle() const;
    QRect titleRect() const;
    QPointF indicatorCentre() const;

    QColor titleColor;
    QColor indicatorColor;
    QColor backgroundColor;
    double angle() const { return m_angle; }
    // Turns the triangle to `to` (0 or pi) over the look's turning time.
    void rotateTo(double to);

signals:
    // Enter, Space or Down on the column with the keyboard on it: what a touch on it does.
    void activated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Look m_look;
    QString m_title;
    double m_angle = 0;
    QVariantAnimation *m_rotation = nullptr;
};
