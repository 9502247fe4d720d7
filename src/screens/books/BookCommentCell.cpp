#include "BookCommentCell.h"

#include "BookCommentRows.h"
#include "CellPainter.h"
#include "FrameStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int NamePixelSize = 13;
constexpr int ContentPixelSize = 14;
constexpr int TimePixelSize = 11;
constexpr int DeletePixelSize = 12;

QFont sized(int pixels) {
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    return font;
}

int textWidth(const QRect &row) {
    return qMax(1, row.width() - BookCommentCell::TextLeft - BookCommentCell::Inset);
}

int contentHeight(const QString &content, int width) {
    if (content.isEmpty())
        return 0;
    return QFontMetrics(sized(ContentPixelSize))
        .boundingRect(QRect(0, 0, width, QWIDGETSIZE_MAX), Qt::TextWordWrap, content)
        .height();
}

} // namespace

BookCommentCell::BookCommentCell(QObject *parent)
    : QStyledItemDelegate(parent) {}

QRect BookCommentCell::photoRect(const QRect &row) {
    return {row.left() + Inset, row.top() + Inset, PhotoSide, PhotoSide};
}

QRect BookCommentCell::contentRect(const QRect &row, const QString &content) {
    const int width = textWidth(row);
    return {row.left() + TextLeft, row.top() + Inset + NameHeight + ContentGap, width,
            contentHeight(content, width)};
}

QRect BookCommentCell::deleteRect(const QRect &row, const QString &content) {
    const QRect text = contentRect(row, content);
    return {row.right() - Inset - DeleteWidth + 1, text.bottom() + 1, DeleteWidth, DeleteHeight};
}

int BookCommentCell::rowHeight(const QString &content, int width, bool own) {
    const int text = Inset + NameHeight + ContentGap +
                     contentHeight(content, textWidth(QRect(0, 0, width, 0))) +
                     (own ? DeleteHeight : NoDeleteHeight) + BottomInset;
    return qMax(text, PhotoSide + 2 * Inset);
}

QSize BookCommentCell::sizeHint(const QStyleOptionViewItem &option,
                                const QModelIndex &index) const {
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const int width = view ? view->viewport()->width() : option.rect.width();
    return {width, rowHeight(index.data(Qt::DisplayRole).toString(), width,
                             index.data(BookCommentRows::OwnRole).toBool())};
}

void BookCommentCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const {
    const QRect row = option.rect;
    const QString content = index.data(Qt::DisplayRole).toString();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    CellPainter::paintBackground(painter, option, QColor());

    const QPixmap photo = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!photo.isNull()) {
        const QRect box = photoRect(row);
        QPainterPath circle;
        circle.addEllipse(QRectF(box));
        painter->save();
        painter->setClipPath(circle);
        painter->drawPixmap(box, photo);
        painter->restore();
    }

    const int width = textWidth(row);
    const QRect line(row.left() + TextLeft, row.top() + Inset, width, NameHeight);
    const QString time = index.data(BookCommentRows::TimeRole).toString();
    const QFont timeFont = sized(TimePixelSize);
    const int timeWidth = QFontMetrics(timeFont).horizontalAdvance(time);
    painter->setFont(timeFont);
    painter->setPen(QColor(FrameStyle::LightGrey));
    painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter, time);

    const QFont nameFont = sized(NamePixelSize);
    painter->setFont(nameFont);
    painter->setPen(QColor(FrameStyle::TitleColor));
    const QString name = index.data(BookCommentRows::NameRole).toString();
    painter->drawText(
        line.adjusted(0, 0, -(timeWidth + 8), 0), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(nameFont).elidedText(name, Qt::ElideRight, qMax(0, width - timeWidth - 8)));

    painter->setFont(sized(ContentPixelSize));
    painter->setPen(QColor(FrameStyle::SheetTextColor));
    painter->drawText(contentRect(row, content), Qt::TextWordWrap | Qt::AlignLeft, content);

    if (index.data(BookCommentRows::OwnRole).toBool()) {
        const QRectF button = QRectF(deleteRect(row, content)).adjusted(4.5, 3.5, -0.5, -2.5);
        painter->setPen(QPen(QColor(FrameStyle::SelectedRed), 0.8));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(button, 3, 3);
        painter->setFont(sized(DeletePixelSize));
        painter->drawText(button, Qt::AlignCenter, tr("删除"));
    }

    CellPainter::finish(painter, option, CellPainter::Hairline::Thin, Inset);
    painter->restore();
}

bool BookCommentCell::editorEvent(QEvent *event, QAbstractItemModel *model,
                                  const QStyleOptionViewItem &option, const QModelIndex &index) {
    if (event->type() == QEvent::MouseButtonRelease &&
        index.data(BookCommentRows::OwnRole).toBool()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            deleteRect(option.rect, index.data(Qt::DisplayRole).toString())
                .contains(mouse->position().toPoint())) {
            emit deleteClicked(index.row());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
