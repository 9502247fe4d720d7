#include "BookCommentRows.h"

#include "records/AccountRecords.h"

#include <QSet>

BookCommentRows::BookCommentRows(QObject *parent)
    : PagedRows<BookCommentModel>({}, parent) {
    setImageUrlOf([](const BookCommentModel &comment) { return comment.PhotoUrl.value_or(""); });
    connect(this, &PagedRowsBase::pageLoaded, this, [this](int page) {
        if (page == 1)
            m_removed = 0;
    });
}

QHash<int, QByteArray> BookCommentRows::roleNames() const {
    QHash<int, QByteArray> names = PagedRows<BookCommentModel>::roleNames();
    names.insert({{NameRole, "name"},
                  {TimeRole, "time"},
                  {OwnRole, "own"},
                  {CommentIdRole, "commentId"},
                  {PhotoUrlRole, "photoUrl"}});
    return names;
}

int BookCommentRows::rowOfComment(qint64 commentId) const {
    for (int row = 0; row < count(); ++row) {
        if (rows().at(row).CommentId == commentId)
            return row;
    }
    return -1;
}

void BookCommentRows::removeComment(qint64 commentId) {
    const int row = rowOfComment(commentId);
    if (row < 0)
        return;
    removeAt(row);
    ++m_removed;
}

int BookCommentRows::servicePageFor(int page) const {
    if (page <= 1 || m_removed == 0)
        return page;
    return count() / pageSize() + 1;
}

QList<BookCommentModel> BookCommentRows::notShownYet(QList<BookCommentModel> comments) const {
    if (m_removed == 0)
        return comments;
    QSet<qint64> shown;
    for (const BookCommentModel &comment : rows())
        shown.insert(comment.CommentId);
    comments.removeIf(
        [&shown](const BookCommentModel &comment) { return shown.contains(comment.CommentId); });
    return comments;
}

QVariant BookCommentRows::rowData(const BookCommentModel &comment, int role) const {
    const QString name = comment.RealName.value_or(QString());
    const QString content = comment.Content.value_or(QString());
    const QString time = comment.CreateTimeStr.value_or(QString());
    const qint64 uid = LoginRsp::shareRsp().uid;
    const bool own = uid != 0 && comment.UserId == uid;
    switch (role) {
    case Qt::DisplayRole:
        return content;
    case Qt::AccessibleTextRole:
        //: A comment as a screen reader reads it: writer, comment, time.
        return tr("%1：%2（%3）").arg(name, content, time);
    case Qt::AccessibleDescriptionRole:
        return own ? tr("按 Delete 键删除这条评论") : QString();
    case NameRole:
        return name;
    case TimeRole:
        return time;
    case OwnRole:
        return own;
    case CommentIdRole:
        return comment.CommentId;
    case PhotoUrlRole:
        return comment.PhotoUrl.value_or(QString());
    default:
        return {};
    }
}
