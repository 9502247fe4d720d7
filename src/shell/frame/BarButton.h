#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

// A borderless navigation-bar button showing either an image, scaled to the button, or a text
// in its own colour. Dims while pressed.
class BarButton : public QPushButton {
    Q_OBJECT
public:
    explicit BarButton(QWidget *parent = nullptr);

    // An asset drawn over the whole button; a missing asset leaves the button without image.
    void setImageName(const QString &assetName);
    QString imageName() const { return m_imageName; }
    QPixmap image() const { return m_image; }
    void setTextColor(const QColor &color);
    QColor textColor() const { return m_textColor; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_imageName;
    QPixmap m_image;
    QColor m_textColor;
};
