#include "BookCommentRows.h"

#include "records/AccountRecords.h"

BookCommentRows::BookCommentRows(QObject *parent)
    : PagedRows<BookCommentModel>({}, parent) {
    setImageUrlOf([](const BookCommentModel &comment) { return comment.PhotoUrl.value_or(""); });
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
        return QStringLiteral("%1：%2（%3）").arg(name, content, time);
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
