#pragma once

#include <QStyledItemDelegate>

// A comment row, painted from the BookCommentRows roles: the writer's round photo, the name with
// the time beside it, the text wrapped below, and under it, on the teacher's own comments only,
// the delete button (bookDeleteBtn). The row is as tall as its text needs. The delete button is a
// hit area of the painted row: a click on it asks for the deletion through deleteClicked().
class BookCommentCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int Inset = 10;
    static constexpr int PhotoSide = 36;
    static constexpr int TextLeft = Inset + PhotoSide + 10;
    static constexpr int NameHeight = 18;
    static constexpr int ContentGap = 6;
    // What the delete button adds below the text when it shows, and the gap there otherwise.
    static constexpr int DeleteHeight = 24;
    static constexpr int NoDeleteHeight = 7;
    static constexpr int DeleteWidth = 44;
    static constexpr int BottomInset = 6;

    explicit BookCommentCell(QObject *parent = nullptr);

    // Where the parts of a row lie; `content` is the text the row shows.
    static QRect photoRect(const QRect &row);
    static QRect contentRect(const QRect &row, const QString &content);
    static QRect deleteRect(const QRect &row, const QString &content);
    static int rowHeight(const QString &content, int width, bool own);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

signals:
    void deleteClicked(int row);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
