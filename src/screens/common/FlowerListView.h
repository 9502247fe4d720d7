#pragma once

#include <QWidget>

class QPainter;

// A row of up to five "flower_icon" images, 14 x 12 each, 4 from the top, their left edges 19
// apart from 0. The same drawing serves the widget and the book cell delegate, which paints rows
// for thousands of books without making a widget per book.
class FlowerListView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int shownFlowers READ shownFlowers)
public:
    static constexpr int MaxFlowers = 5;
    static constexpr int FlowerWidth = 14;
    static constexpr int FlowerHeight = 12;
    static constexpr int FlowerTop = 4;
    static constexpr int FlowerStep = 19;
    // The whole row: the last flower's right edge, and its bottom.
    static constexpr int RowWidth = (MaxFlowers - 1) * FlowerStep + FlowerWidth;
    static constexpr int RowHeight = FlowerTop + FlowerHeight;

    explicit FlowerListView(QWidget *parent = nullptr);

    // The first min(count, 5) flowers show; none for 0 or less.
    void showFlowerWithCount(qint64 count);
    int shownFlowers() const { return m_shown; }

    static int flowersShownFor(qint64 count);
    // Paints the row for `count` with its top-left corner at `origin`.
    static void paintFlowers(QPainter *painter, QPoint origin, qint64 count);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int m_shown = 0;
};
