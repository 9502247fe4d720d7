#include "UserClassCell.h"

#include "Assets.h"
#include "CellPainter.h"
#include "FrameStyle.h"
#include "UserClassRows.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int Margin = 15;
constexpr int ButtonSide = 22;
constexpr int FirstLabelWidth = 50;
constexpr int TextPixelSize = 15;
constexpr QSize ArrowSize(8, 13);
} // namespace

QString UserClassCell::firstLabelText() {
    //: The label before a class's name in the teacher's list of classes.
    return tr("班级");
}

UserClassCell::UserClassCell(QAbstractItemView *list)
    : QStyledItemDelegate(list) {
    list->viewport()->installEventFilter(this);
}

QAbstractItemView *UserClassCell::list() const {
    return qobject_cast<QAbstractItemView *>(parent());
}

void UserClassCell::setDesign(Design design) {
    if (design == m_design)
        return;
    m_design = design;
    m_pressed = QPersistentModelIndex();
    if (QAbstractItemView *view = list())
        view->viewport()->update();
}

QString UserClassCell::reuseIdentifier() const {
    return m_design == PlainDesign ? QStringLiteral("UserClassCell")
                                   : QStringLiteral("UserClassCell2");
}

QRect UserClassCell::buttonRect(const QRect &cell) const {
    if (m_design == PlainDesign || cell.isEmpty())
        return {};
    // The hit area is the row's full height, as wide as the button with its margins: a
    // fingertip or a mouse need not land on the small circle.
    return QRect(cell.left(), cell.top(), Margin + ButtonSide + Margin / 2, cell.height());
}

QSize UserClassCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return {option.rect.width(), RowHeight};
}

void UserClassCell::paint(QPainter *p, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const {
    const QRect r = option.rect;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    CellPainter::paintBackground(p, option);

    int left = r.left() + Margin;
    int right = r.right() - Margin;
    if (m_design == EditDesign) {
        const QRect circle(left, r.top() + (r.height() - ButtonSide) / 2, ButtonSide, ButtonSide);
        p->setPen(Qt::NoPen);
        p->setBrush(QColor(FrameStyle::SelectedRed));
        p->drawEllipse(circle);
        p->setBrush(Qt::white);
        p->drawRoundedRect(QRectF(circle.left() + 5, circle.center().y() - 0.5, ButtonSide - 10, 2),
                           1, 1);
        left = circle.right() + 1 + Margin;

        const QRectF arrow(right + 1 - ArrowSize.width(),
                           r.top() + (r.height() - ArrowSize.height()) / 2.0, ArrowSize.width(),
                           ArrowSize.height());
        p->save();
        p->translate(arrow.center());
        p->rotate(index.data(UserClassRows::ArrowAngleRole).toReal());
        p->drawPixmap(arrow.translated(-arrow.center()).toRect(),
                      Assets::pixmap(QStringLiteral("cell_arrow_icon"), ArrowSize));
        p->restore();
        right = int(arrow.left()) - Margin;
    }

    QFont font = option.font;
    font.setPixelSize(TextPixelSize);
    p->setFont(font);
    p->setPen(QColor(FrameStyle::DarkGrey));
    const QRect first(left, r.top(), FirstLabelWidth, r.height());
    p->drawText(first, Qt::AlignVCenter | Qt::AlignLeft, firstLabelText());
    p->setPen(QColor(FrameStyle::SheetTextColor));
    const QRect second(first.right() + 1, r.top(), right - first.right(), r.height());
    p->drawText(second, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                            second.width()));

    CellPainter::finish(p, option, CellPainter::Hairline::Pixel);
    p->restore();
}

QModelIndex UserClassCell::buttonAt(const QPoint &pos) const {
    QAbstractItemView *view = list();
    if (!view || m_design == PlainDesign)
        return {};
    const QModelIndex index = view->indexAt(pos);
    return index.isValid() && buttonRect(view->visualRect(index)).contains(pos) ? index
                                                                                : QModelIndex();
}

bool UserClassCell::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    QAbstractItemView *view = list();
    if (!view || watched != view->viewport())
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QModelIndex index = buttonAt(mouse->position().toPoint());
    if (type != QEvent::MouseButtonRelease) {
        m_pressed = index;
        // The list never sees the press, so the row is neither chosen nor clicked.
        return index.isValid();
    }
    const QPersistentModelIndex pressed = m_pressed;
    m_pressed = QPersistentModelIndex();
    if (!pressed.isValid())
        return false;
    // Released where it was pressed: a click. Released elsewhere: nothing, as with a button.
    if (index == pressed)
        emit minusBtnClicked(index.row());
    return true;
}
