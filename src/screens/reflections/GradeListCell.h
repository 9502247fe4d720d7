#pragma once

#include <QStyledItemDelegate>

#include <memory>

class QLabel;
namespace Ui {
class GradeListCell;
}

// Paints a reflection row, 80 high on a clear background: the book in title marks, the pupil, the
// time and the grade with its icon and colour. The arrangement comes from the "GradeListCell"
// form, laid out once per row width and never shown; the texts come from the FeelRows roles.
class GradeListCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int RowHeight = 80;
    inline static const QString ReuseIdentifier = QStringLiteral("GradeListCell");

    explicit GradeListCell(QObject *parent = nullptr);
    ~GradeListCell() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where each named part goes in a row of `width` (row coordinates), for tests and the driver.
    QRect partRect(const QString &partName, int width) const;

private:
    void layOut(int width) const;

    std::unique_ptr<QWidget> m_form;
    std::unique_ptr<Ui::GradeListCell> m_ui;
    mutable int m_laidOutWidth = -1;
};
