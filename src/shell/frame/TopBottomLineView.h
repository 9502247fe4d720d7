#pragma once

#include <QLineF>
#include <QList>
#include <QWidget>

// A transparent view with a light-grey hairline along its top and another along its bottom.
class TopBottomLineView : public QWidget {
    Q_OBJECT
public:
    explicit TopBottomLineView(QWidget *parent = nullptr);

    static QList<QLineF> hairlinesFor(const QSizeF &size);

protected:
    void paintEvent(QPaintEvent *event) override;
};
