#include "BookSortMenus.h"

namespace BookSortMenu {

namespace {
BookSortModel titled(const QString &title) {
    BookSortModel row;
    row.SortName = title;
    return row;
}
} // namespace

QList<BookSortModel> arrayForGradeMenu() {
    QList<BookSortModel> rows{titled(QStringLiteral("按年级"))};
    for (qint64 grade = 1; grade <= 6; ++grade) {
        rows.append(titled(QStringLiteral("%1年级").arg(grade)));
        rows.last().gradeId = grade;
    }
    return rows;
}

QStringList sortNameArray() {
    return {QStringLiteral("热门↓"), QStringLiteral("热门↑"), QStringLiteral("名称↑"),
            QStringLiteral("名称↓"), QStringLiteral("时间↑"), QStringLiteral("时间↓"),
            QStringLiteral("小花↑"), QStringLiteral("小花↓")};
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
    return QStringLiteral("按分类");
}

QList<BookSortModel> arrayForCategoryMenu(const QList<BookSortModel> &sortList) {
    QList<BookSortModel> rows{titled(allCategoriesTitle())};
    rows.append(sortList);
    return rows;
}

} // namespace BookSortMenu
