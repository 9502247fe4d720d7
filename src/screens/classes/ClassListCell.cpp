#include "ClassListCell.h"

#include "Assets.h"
#include "CellPainter.h"
#include "FrameStyle.h"
#include "StudentRows.h"

#include <QAbstractTextDocumentLayout>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

namespace {
constexpr int Margin = 10;
constexpr int BadgeSide = 30;
constexpr int ListHeadSide = 50;
constexpr int CardHeadSide = 80;
constexpr int CardContentHeight = 108; // name, three detail lines
constexpr int NamePixelSize = 16;
constexpr int DetailPixelSize = 13;
const QStringList RankBadges{QStringLiteral("class_first_icon"),
                             QStringLiteral("class_second_icon"),
                             QStringLiteral("class_third_icon")};

QFont withSize(QFont font, int pixels, bool bold = false) {
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void drawRich(QPainter *p, const QRect &rect, const QString &html, const QFont &font,
              const QColor &color) {
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    p->save();
    const qreal top = rect.top() + (rect.height() - doc.size().height()) / 2;
    p->translate(rect.left(), top);
    p->setClipRect(QRectF(0, 0, rect.width(), doc.size().height()));
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, color);
    doc.documentLayout()->draw(p, context);
    p->restore();
}

void drawHead(QPainter *p, const QRect &rect, const QPixmap &image) {
    if (image.isNull())
        return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath circle;
    circle.addEllipse(QRectF(rect));
    p->setClipPath(circle);
    // Fill the circle, cutting the longer side of a non-square photo.
    const QSize scaled = image.size().scaled(rect.size(), Qt::KeepAspectRatioByExpanding);
    const QRect target(rect.center().x() - scaled.width() / 2 + 1,
                       rect.center().y() - scaled.height() / 2 + 1, scaled.width(),
                       scaled.height());
    p->drawPixmap(target, image);
    p->restore();
}
} // namespace

ClassListCell::ClassListCell(Design design, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_design(design) {}

QString ClassListCell::reuseIdentifier() const {
    return m_design == ListDesign ? QStringLiteral("ClassListCell")
                                  : QStringLiteral("ClassListCell2");
}

QString ClassListCell::addColorWithString(const QString &string, const QString &defaultString,
                                          const QColor &color) {
    return defaultString.toHtmlEscaped() + QStringLiteral("<span style=\"color:%1\">%2</span>")
                                               .arg(color.name(), string.toHtmlEscaped());
}

QVariant ClassListCell::roleData(const StudentListModel &pupil, int row, bool ranked, int role) {
    const QColor accent = QColor(FrameStyle::RosterAccent);
    const QString headAsset =
        pupil.Sex == 0 ? QStringLiteral("user_man_head") : QStringLiteral("user_woman_head");
    switch (role) {
    case Qt::DisplayRole:
    case StudentRows::StudentNameRole:
        return pupil.RealName.value_or(QString());
    case Qt::AccessibleTextRole:
        //: A pupil of the roster as a screen reader reads it: name, level, flowers, tests.
        return tr("%1，等级%2，小红花%3朵，测评%4次")
            .arg(pupil.RealName.value_or(QString()), pupil.MyTitle.value_or(QString()))
            .arg(pupil.FlowerNumber)
            .arg(pupil.TestPassNum);
    case StudentRows::StudentTitleRole:
        return pupil.MyTitle.value_or(QString());
    case StudentRows::FlowerCountRole:
        //: A pupil's flowers: "x" and the count.
        return tr("x%1朵").arg(pupil.FlowerNumber);
    case StudentRows::StudentNumRole:
        return QString::number(row + 1);
    case StudentRows::FirstImageRole:
        if (!ranked || row < 0)
            return QString();
        return row < RankBadges.size() ? RankBadges.at(row) : QStringLiteral("class_general_icon");
    case StudentRows::HeadPlaceholderRole:
        return headAsset;
    case Qt::DecorationRole:
        return Assets::pixmap(headAsset);
    case StudentRows::PhotoUrlRole:
        return pupil.PhotoStr.value_or(QString()).trimmed();
    case StudentRows::CardFlowerRole:
        return addColorWithString(tr("%1朵").arg(pupil.FlowerNumber), tr("小红花:"), accent);
    case StudentRows::MobileRole:
        return tr("手机:%1").arg(pupil.Mobile.value_or(QString()));
    case StudentRows::CardTitleRole:
        return addColorWithString(pupil.MyTitle.value_or(QString()), tr("等级:"), accent);
    case StudentRows::TestCountRole:
        //: The number of tests a pupil passed, after "测评:".
        return addColorWithString(tr("%1次").arg(pupil.TestPassNum), tr("测评:"), accent);
    default:
        return {};
    }
}

int ClassListCell::cardColumnsFor(int width) {
    return qBound(1, width / MinCardWidth, 8);
}

QSize ClassListCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    if (m_design == ListDesign)
        return {option.rect.width(), ListRowHeight};
    // In a grid of cards the cell is its column's share; in one column, the row's width.
    const auto *view = qobject_cast<const QListView *>(option.widget);
    if (view && view->viewMode() == QListView::IconMode) {
        const int width = view->viewport()->width();
        // A pixel short of the share: the view wraps a row that reaches its very last pixel.
        return {width / cardColumnsFor(width) - 1, CardRowHeight};
    }
    return {option.rect.width(), CardRowHeight};
}

void ClassListCell::paint(QPainter *p, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const {
    const QRect r = option.rect;
    p->save();
    CellPainter::paintBackground(p, option);
    if (m_design == ListDesign)
        paintList(p, r, index, option.font);
    else
        paintCard(p, r, index, option.font);
    CellPainter::finish(p, option, CellPainter::Hairline::Pixel, 0, FrameStyle::PaleLine);
    p->restore();
}

void ClassListCell::paintList(QPainter *p, const QRect &r, const QModelIndex &index,
                              const QFont &base) const {
    const QRect badge(r.left() + Margin, r.top() + (r.height() - BadgeSide) / 2, BadgeSide,
                      BadgeSide);
    const QString badgeAsset = index.data(StudentRows::FirstImageRole).toString();
    if (!badgeAsset.isEmpty())
        p->drawPixmap(badge, Assets::pixmap(badgeAsset, badge.size()));
    p->setFont(withSize(base, DetailPixelSize, true));
    p->setPen(badgeAsset.isEmpty() ? QColor(FrameStyle::DarkGrey) : QColor(Qt::white));
    p->drawText(badge, Qt::AlignCenter, index.data(StudentRows::StudentNumRole).toString());

    const QRect head(badge.right() + 1 + Margin, r.top() + (r.height() - ListHeadSide) / 2,
                     ListHeadSide, ListHeadSide);
    drawHead(p, head, index.data(Qt::DecorationRole).value<QPixmap>());

    const int textLeft = head.right() + 1 + Margin;
    const QRect flowers(r.right() - 90, r.top(), 90 - Margin, r.height());
    p->setFont(withSize(base, DetailPixelSize));
    p->setPen(QColor(FrameStyle::DetailGrey));
    p->drawText(flowers, Qt::AlignVCenter | Qt::AlignRight,
                index.data(StudentRows::FlowerCountRole).toString());

    const int textWidth = flowers.left() - textLeft - Margin;
    p->setFont(withSize(base, NamePixelSize, true));
    p->setPen(QColor(FrameStyle::SheetTextColor));
    p->drawText(QRect(textLeft, r.top() + 12, textWidth, 24), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(StudentRows::StudentNameRole).toString());
    p->setFont(withSize(base, DetailPixelSize));
    p->setPen(QColor(FrameStyle::DetailGrey));
    p->drawText(QRect(textLeft, r.top() + 38, textWidth, 20), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(StudentRows::StudentTitleRole).toString());
}

void ClassListCell::paintCard(QPainter *p, const QRect &r, const QModelIndex &index,
                              const QFont &base) const {
    const QRect head(r.left() + 2 * Margin, r.top() + (r.height() - CardHeadSide) / 2, CardHeadSide,
                     CardHeadSide);
    drawHead(p, head, index.data(Qt::DecorationRole).value<QPixmap>());
    const int left = head.right() + 1 + 2 * Margin;
    const int width = r.right() - Margin - left;
    const QFont detail = withSize(base, DetailPixelSize);
    int top = r.top() + (r.height() - CardContentHeight) / 2;
    p->setFont(withSize(base, NamePixelSize, true));
    p->setPen(QColor(FrameStyle::SheetTextColor));
    p->drawText(QRect(left, top, width, 26), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(StudentRows::StudentNameRole).toString());
    top += 30;
    const int half = width / 2;
    drawRich(p, QRect(left, top, half, 22), index.data(StudentRows::CardFlowerRole).toString(),
             detail, QColor(FrameStyle::DetailGrey));
    drawRich(p, QRect(left + half, top, width - half, 22),
             index.data(StudentRows::TestCountRole).toString(), detail,
             QColor(FrameStyle::DetailGrey));
    top += 26;
    drawRich(p, QRect(left, top, width, 22), index.data(StudentRows::CardTitleRole).toString(),
             detail, QColor(FrameStyle::DetailGrey));
    top += 26;
    p->setFont(detail);
    p->setPen(QColor(FrameStyle::DetailGrey));
    p->drawText(QRect(left, top, width, 22), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(StudentRows::MobileRole).toString());
}
