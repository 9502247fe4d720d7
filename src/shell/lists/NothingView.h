#pragma once

#include <QWidget>

class QLabel;

// The empty-data cover: a white sheet tagged 500 over the whole of the view it is put on, with
// "nothing_data_img" in the middle. It follows the view's size.
class NothingView : public QWidget {
    Q_OBJECT
public:
    explicit NothingView(QWidget *coveredView);

    QLabel *imageLabel() const { return m_image; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QLabel *m_image;
};
