#pragma once

#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

// The reflections of one list, single-page: the service answers each request with the whole
// list. A row's named parts are roles, so the cell paints them and tests read them. A grade the
// teacher gave that the service has not yet listed (held for undo, on its way, or accepted since
// the list loaded) shows instead of the service's "待批阅", so a reload never offers it again.
class FeelRows : public PagedRows<GradeListModel> {
    Q_OBJECT
public:
    enum Role {
        BookNameRole = Qt::UserRole + 1, // bookNameLabel: "《name》"
        AuthorNameRole,                  // authorNameLabel
        TimeRole,                        // timeLabel
        TypeTextRole,                    // typeLabel
        TypeColorRole,                   // typeLabel's colour (QColor)
        TypeImageRole,                   // typeImageView's asset, empty for none
        FeelIdRole,
        PendingRole, // the grade shown is held or on its way (bool)
        WaitingRole, // still to be graded, nothing given here (bool)
    };
    Q_ENUM(Role)

    explicit FeelRows(QObject *parent = nullptr);

    QHash<int, QByteArray> roleNames() const override;

    // The HeldChanges key of a reflection's grade.
    static QString gradeKey(qint64 feelId);
    bool isWaiting(int row) const;
    int rowOfFeel(qint64 feelId) const;

protected:
    QVariant rowData(const GradeListModel &record, int role) const override;
};
