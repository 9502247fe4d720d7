#pragma once

#include "ClassListCell.h"
#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

// The pupils of a roster, with the parts of both cell designs as roles. Single-page: a roster
// comes in one answer.
class StudentRows : public PagedRows<StudentListModel> {
public:
    enum Role {
        StudentNameRole = Qt::UserRole + 1, // studentNameLabel (both designs)
        StudentTitleRole,                   // studentTitleLabel, list: MyTitle as it is
        FlowerCountRole,                    // flowerCountLabel, list: "x%ld朵"
        StudentNumRole,                     // studentNumLabel: position from 1
        FirstImageRole,                     // firstImageView: badge asset, empty when hidden
        HeadPlaceholderRole,                // headImageView's placeholder asset
        PhotoUrlRole,                       // headImageView's photo URL
        CardFlowerRole,                     // flowerCountLabel, card (rich text)
        MobileRole,                         // mobileLabel, card
        CardTitleRole,                      // studentTitleLabel, card (rich text)
        TestCountRole,                      // testCountLabel, card (rich text)
    };

    explicit StudentRows(QObject *parent = nullptr)
        : PagedRows<StudentListModel>({}, parent) {
        setSinglePage(true);
        setImageUrlOf(
            [](const StudentListModel &pupil) { return pupil.PhotoStr.value_or(QString()); });
    }

    // Rank badges on the first rows while the roster is sorted by level.
    void setRanked(bool ranked) {
        if (ranked == m_ranked)
            return;
        m_ranked = ranked;
        if (count() > 0)
            emit dataChanged(index(0), index(count() - 1), {FirstImageRole});
    }
    bool isRanked() const { return m_ranked; }

    QHash<int, QByteArray> roleNames() const override {
        QHash<int, QByteArray> names = PagedRows<StudentListModel>::roleNames();
        names.insert({{StudentNameRole, "studentNameLabel"},
                      {StudentTitleRole, "studentTitleLabel"},
                      {FlowerCountRole, "flowerCountLabel"},
                      {StudentNumRole, "studentNumLabel"},
                      {FirstImageRole, "firstImageView"},
                      {HeadPlaceholderRole, "headPlaceholder"},
                      {PhotoUrlRole, "PhotoUrl"},
                      {CardFlowerRole, "cardFlowerCountLabel"},
                      {MobileRole, "mobileLabel"},
                      {CardTitleRole, "cardStudentTitleLabel"},
                      {TestCountRole, "testCountLabel"}});
        return names;
    }

    QVariant data(const QModelIndex &index, int role) const override {
        if (role == StudentNumRole || role == FirstImageRole) {
            if (!checkIndex(index,
                            CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
                return {};
            return ClassListCell::roleData(at(index.row()), index.row(), m_ranked, role);
        }
        return PagedRows<StudentListModel>::data(index, role);
    }

protected:
    QVariant rowData(const StudentListModel &pupil, int role) const override {
        return ClassListCell::roleData(pupil, -1, m_ranked, role);
    }

private:
    bool m_ranked = false;
};
