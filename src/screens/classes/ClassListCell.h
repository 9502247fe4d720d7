#pragma once

#include "records/ContentRecords.h"

#include <QStyledItemDelegate>

// A pupil of the roster, painted in one of two designs: a 70-pixel list row (position, rank badge
// while ranked by level, head, name, title, flowers) or a 150-pixel card (head, name, flowers,
// mobile, level, tests). Every part it draws is a role of the model (StudentRows::Role), computed
// by roleData(), so tests read the model rather than pixels.
class ClassListCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum Design { ListDesign, CardDesign };
    static constexpr int ListRowHeight = 70;
    static constexpr int CardRowHeight = 150;
    // Cards sit side by side once the list is wide enough for two of at least this width.
    static constexpr int MinCardWidth = 340;
    // The cards a row of a list `width` wide: one on a phone.
    static int cardColumnsFor(int width);

    explicit ClassListCell(Design design, QObject *parent = nullptr);

    Design design() const { return m_design; }
    // "ClassListCell" for list rows, "ClassListCell2" for cards.
    QString reuseIdentifier() const;

    // The value of `role` for the pupil shown at `row`; `ranked` while the roster is sorted by
    // level (rank badges).
    static QVariant roleData(const StudentListModel &pupil, int row, bool ranked, int role);
    // `defaultString` in the label's own colour followed by `string` in `color`, as rich text.
    static QString addColorWithString(const QString &string, const QString &defaultString,
                                      const QColor &color);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    void paintList(QPainter *p, const QRect &r, const QModelIndex &index, const QFont &base) const;
    void paintCard(QPainter *p, const QRect &r, const QModelIndex &index, const QFont &base) const;

    Design m_design;
};
