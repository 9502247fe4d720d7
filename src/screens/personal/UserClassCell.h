#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

// A class of the teacher, 44 high, in one of two designs: plain (firstLabel "班级", then the
// class in secondLabel) or edit, with the remove button (minusBtn) before the labels and the
// arrow (arrowImageView) at the end, turned as the model's ArrowAngleRole says. Rows are
// painted: the remove button is a hit area of the row, and a click on it is the button's alone,
// never a click on the row.
class UserClassCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum Design { PlainDesign, EditDesign };
    static constexpr int RowHeight = 44;
    // Painted in the current language, so a language change needs only a repaint.
    static QString firstLabelText();

    // Paints the rows of `list` and watches its clicks for the remove buttons.
    explicit UserClassCell(QAbstractItemView *list);

    Design design() const { return m_design; }
    // Repaints the list in the new design.
    void setDesign(Design design);
    // "UserClassCell" for the plain design, "UserClassCell2" for the edit design.
    QString reuseIdentifier() const;

    // Where the remove button lies in a row painted in `cell`; empty in the plain design.
    Q_INVOKABLE QRect buttonRect(const QRect &cell) const;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

signals:
    // The remove button of `row` was clicked.
    void minusBtnClicked(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The list painted, found through the parent: a pointer kept to it would be read as a list
    // while the list's base destructor runs and sends its last events.
    QAbstractItemView *list() const;
    // The row whose remove button lies under `pos` (viewport coordinates), else invalid.
    QModelIndex buttonAt(const QPoint &pos) const;

    Design m_design = PlainDesign;
    QPersistentModelIndex m_pressed; // a press on a remove button, waiting for its release
};
