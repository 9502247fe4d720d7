#pragma once

#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

// The comments on a book, page after page in the order received. A row's named parts are roles,
// so the cell paints them and tests read them; the writer's photo comes under DecorationRole.
class BookCommentRows : public PagedRows<BookCommentModel> {
    Q_OBJECT
public:
    enum Role {
        NameRole = Qt::UserRole + 1, // the writer, RealName
        TimeRole,                    // CreateTimeStr as the service formats it
        OwnRole,                     // written by the signed-in teacher: the delete button shows
        CommentIdRole,
        PhotoUrlRole,
    };
    Q_ENUM(Role)

    explicit BookCommentRows(QObject *parent = nullptr);

    // The list grows only when the teacher pulls it up.
    bool canFetchMore(const QModelIndex &) const override { return false; }
    QHash<int, QByteArray> roleNames() const override;
    // The row of the comment `commentId`, -1 when it is not shown (any more).
    int rowOfComment(qint64 commentId) const;

protected:
    QVariant rowData(const BookCommentModel &comment, int role) const override;
};
