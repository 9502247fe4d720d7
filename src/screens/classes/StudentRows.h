#pragma once

#include "ClassListCell.h"
#include "PagedRows.h"
#include "records/ContentRecords.h"

// The pupils of a roster, with the parts of both cell designs as roles. Single-page: a roster
// comes in one answer.
class StudentRows : public PagedRows<StudentListModel> {
public:
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
            emit dataChanged(index(0), index(count() - 1), {ClassListCell::FirstImageRole});
    }
    bool isRanked() const { return m_ranked; }

    QVariant data(const QModelIndex &index, int role) const override {
        if (role == ClassListCell::StudentNumRole || role == ClassListCell::FirstImageRole) {
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
