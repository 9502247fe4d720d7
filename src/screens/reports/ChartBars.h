#pragma once

#include "records/ContentRecords.h"

#include <QColor>
#include <QList>

class QRandomGenerator;

// The report's arithmetic, free of widgets: the bar of each row against the top average, and
// the bar colours.
namespace ChartBars {

// The bar area of a row on a screen `screenWidth` wide: 23 points in from either edge.
constexpr int BarInset = 23;

// AverageFlower as a number; text that is no finite decimal counts as 0.
double averageOf(const ChartListModel &row);

// The first row with the highest average above 0 (ties keep the earlier row); -1 when none.
qsizetype topEntry(const QList<ChartListModel> &rows);

// Sets every row's imageWidth: its average over the top average times the top bar (the screen
// width less 46), cut to whole points. Without a top entry every bar is 0. Negative averages
// draw nothing.
void applyBarWidths(QList<ChartListModel> &rows, int screenWidth);

// A bar colour: hue a multiple of 1/256 below 1, saturation and brightness each 0.5 plus a
// multiple of 1/256 below 0.5, opaque.
QColor randomBarColor(QRandomGenerator &random);

} // namespace ChartBars

// A row of the grade column, made locally: the service has no grade list.
struct ChartMenuModel {
    QString menuName;
    qint64 gradeId = 0;

    // "1年级" to "6年级" with gradeId 1 to 6; no row for all grades.
    static QList<ChartMenuModel> arrayForGradeMenu();
    // menuName in the language in force.
    QString shownName() const;
};
