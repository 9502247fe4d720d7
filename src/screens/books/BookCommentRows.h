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

    // Takes out the comment `commentId`, deleted on the service; nothing when it is not shown.
    void removeComment(qint64 commentId);
    // The service pages by offset ((page - 1) x size): every comment deleted here moved the ones
    // after it a place up there, so the page that follows the rows shown is found from their
    // number, not from the page counter, until page 1 comes again. That page can overlap the rows
    // shown: notShownYet() keeps only the comments of an answer that are not in the list yet.
    int servicePageFor(int page) const;
    QList<BookCommentModel> notShownYet(QList<BookCommentModel> comments) const;

protected:
    QVariant rowData(const BookCommentModel &comment, int role) const override;

private:
    int m_removed = 0; // comments taken out since page 1 arrived
};
