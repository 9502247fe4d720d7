#include "BookSortMenus.h"

#include <QCoreApplication>

namespace BookSortMenu {

namespace {
BookSortModel titled(const QString &title) {
    BookSortModel row;
    row.SortName = title;
    return row;
}
// The rows keep the Chinese titles; they are translated where they are shown.
const char *const SortNames[] = {
    QT_TRANSLATE_NOOP("BookSortMenu", "热门↓"), QT_TRANSLATE_NOOP("BookSortMenu", "热门↑"),
    QT_TRANSLATE_NOOP("BookSortMenu", "名称↑"), QT_TRANSLATE_NOOP("BookSortMenu", "名称↓"),
    QT_TRANSLATE_NOOP("BookSortMenu", "时间↑"), QT_TRANSLATE_NOOP("BookSortMenu", "时间↓"),
    QT_TRANSLATE_NOOP("BookSortMenu", "小花↑"), QT_TRANSLATE_NOOP("BookSortMenu", "小花↓")};
const char *const AllGrades = QT_TRANSLATE_NOOP("BookSortMenu", "按年级");
//: One school grade in the book store's grade filter, e.g. "3年级".
const char *const OneGrade = QT_TRANSLATE_NOOP("BookSortMenu", "%1年级");
const char *const AllCategories = QT_TRANSLATE_NOOP("BookSortMenu", "按分类");

QString translated(const char *source) {
    return QCoreApplication::translate("BookSortMenu", source);
}

} // namespace

QList<BookSortModel> arrayForGradeMenu() {
    QList<BookSortModel> rows{titled(QString::fromUtf8(AllGrades))};
    for (qint64 grade = 1; grade <= 6; ++grade) {
        rows.append(titled(QString::fromUtf8(OneGrade).arg(grade)));
        rows.last().gradeId = grade;
    }
    return rows;
}

QStringList sortNameArray() {
    QStringList names;
    for (const char *name : SortNames)
        names << QString::fromUtf8(name);
    return names;
}

QList<BookSortModel> arrayForSortMenuWithSortNameArray(const QStringList &sortNames) {
    QList<BookSortModel> rows;
    for (qsizetype index = 0; index < sortNames.size(); ++index) {
        rows.append(titled(sortNames.at(index)));
        rows.last().orderbytype = index == 0 ? 2 : index == 1 ? 1 : index + 1;
    }
    return rows;
}

QString allCategoriesTitle() {
    return QString::fromUtf8(AllCategories);
}

QString gradeTitle(const BookSortModel &row) {
    return row.gradeId == 0 ? translated(AllGrades) : translated(OneGrade).arg(row.gradeId);
}

QString sortTitle(const BookSortModel &row) {
    return translated(row.SortName.value_or(QString()).toUtf8().constData());
}

QString categoryTitle(const BookSortModel &row, qsizetype index) {
    return index == 0 ? translated(AllCategories) : row.SortName.value_or(QString());
}

QList<BookSortModel> arrayForCategoryMenu(const QList<BookSortModel> &sortList) {
    QList<BookSortModel> rows{titled(allCategoriesTitle())};
    rows.append(sortList);
    return rows;
}

} // namespace BookSortMenu
