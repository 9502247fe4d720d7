#pragma once

#include <QLineF>
#include <QWidget>

#include <optional>

// A transparent view with one light-grey hairline: vertical when the view is exactly one pixel
// wide, else horizontal at the bottom when it is exactly one pixel high, else none.
class LineView : public QWidget {
    Q_OBJECT
public:
    explicit LineView(QWidget *parent = nullptr);

    static std::optional<QLineF> hairlineFor(const QSizeF &size);

protected:
    void paintEvent(QPaintEvent *event) override;
};
