#pragma once

#include <QPoint>
#include <QWidget>

// The dimmed area under an open drop-down: black at `alpha` over its parent from `topLeft` to
// the parent's far edges, following the parent when it is resized. A tap on it is `tapped`.
class DimmedBackdrop : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int alpha READ alpha WRITE setAlpha)
public:
    // Whether a press counts as the tap, or a release still inside the area.
    enum class TapOn { Press, Release };

    DimmedBackdrop(const QString &accessibleName, TapOn tapOn, QWidget *parent);

    void setTopLeft(QPoint topLeft);
    int alpha() const { return m_alpha; }
    void setAlpha(int alpha);

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cover();

    TapOn m_tapOn;
    QPoint m_topLeft;
    int m_alpha = 0;
};
