#pragma once

#include <QLabel>

// An image view that shows its pixmap clipped to the largest circle that fits, stretched to fill
// it, over a light disc while there is no image. Remote images go into it like into any label
// (setImageFromUrl).
class RoundImageView : public QLabel {
    Q_OBJECT
public:
    explicit RoundImageView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
