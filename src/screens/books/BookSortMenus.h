#pragma once

#include "records/ContentRecords.h"

#include <QList>
#include <QStringList>

// The rows of the book store's three filter columns, each a BookSortModel whose SortName is the
// row's title: the grade column carries gradeId, the sort column orderbytype, the category column
// SortId; the fields a column does not use stay 0.
namespace BookSortMenu {

// "按年级" (all grades, gradeId 0), then "1年级" to "6年级" with gradeId 1 to 6.
QList<BookSortModel> arrayForGradeMenu();

// The eight sort titles, popularity descending first: the service's whole sort vocabulary.
QStringList sortNameArray();

// One row per title: row 0 sends 2 (popularity descending, the default), row 1 sends 1, and
// every later row its index plus 1, so odd codes ascend and even codes descend.
QList<BookSortModel> arrayForSortMenuWithSortNameArray(const QStringList &sortNames);

// The category column: the local "按分类" row (SortId 0, all categories) before the service's
// categories, in the order received.
QList<BookSortModel> arrayForCategoryMenu(const QList<BookSortModel> &sortList);

// The title of the row "all categories"; the category column shows it while that row is chosen.
QString allCategoriesTitle();

// What the teacher reads for a row: the local rows (every grade and sort row, the first
// category row) in the language in force, the service's categories as they came.
QString gradeTitle(const BookSortModel &row);
QString sortTitle(const BookSortModel &row);
QString categoryTitle(const BookSortModel &row, qsizetype index);

} // namespace BookSortMenu
