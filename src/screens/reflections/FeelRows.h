#pragma once

#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

// The reflections of one list, single-page: the service answers each request with the whole
// list. A row's named parts are roles, so the cell paints them and tests read them.
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
    };
    Q_ENUM(Role)

    explicit FeelRows(QObject *parent = nullptr);

    QHash<int, QByteArray> roleNames() const override;

protected:
    QVariant rowData(const GradeListModel &record, int role) const override;
};
