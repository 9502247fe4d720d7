#include "ChartBars.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cmath>

namespace ChartBars {

double averageOf(const ChartListModel &row) {
    bool ok = false;
    const double value = row.AverageFlower.value_or(QString()).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

qsizetype topEntry(const QList<ChartListModel> &rows) {
    qsizetype top = -1;
    double best = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const double average = averageOf(rows.at(i));
        if (average > best) {
            best = average;
            top = i;
        }
    }
    return top;
}

void applyBarWidths(QList<ChartListModel> &rows, int screenWidth) {
    const qsizetype top = topEntry(rows);
    const double topAverage = top >= 0 ? averageOf(rows.at(top)) : 0;
    const qint64 topBar = std::max(0, screenWidth - 2 * BarInset);
    for (ChartListModel &row : rows) {
        const double ratio = top >= 0 ? averageOf(row) / topAverage : 0;
        row.imageWidth = ratio > 0 ? qint64(std::trunc(ratio * double(topBar))) : 0;
    }
}

QColor randomBarColor(QRandomGenerator &random) {
    const double hue = random.bounded(256) / 256.0;
    const double saturation = 0.5 + random.bounded(128) / 256.0;
    const double brightness = 0.5 + random.bounded(128) / 256.0;
    return QColor::fromHsvF(float(hue), float(saturation), float(brightness), 1.0f);
}

} // namespace ChartBars

namespace {
//: One school grade in the reports' grade filter, e.g. "3年级".
const char *const OneGrade = QT_TRANSLATE_NOOP("ChartMenuModel", "%1年级");
} // namespace

QList<ChartMenuModel> ChartMenuModel::arrayForGradeMenu() {
    QList<ChartMenuModel> grades;
    for (qint64 grade = 1; grade <= 6; ++grade)
        grades.append({QString::fromUtf8(OneGrade).arg(grade), grade});
    return grades;
}

QString ChartMenuModel::shownName() const {
    return QCoreApplication::translate("ChartMenuModel", OneGrade).arg(gradeId);
}
