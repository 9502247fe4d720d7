#include "GradeListCell.h"

#include "Assets.h"
#include "CellPainter.h"
#include "FeelRows.h"
#include "FrameStyle.h"
#include "StyleTokens.h"
#include "ui_GradeListCell.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int HairlineIndent = 15;

void drawText(QPainter *painter, const QLabel *part, const QRect &rect, const QString &text,
              const QColor &color) {
    painter->setFont(part->font());
    painter->setPen(color);
    const QString shown = QFontMetrics(part->font()).elidedText(text, Qt::ElideRight, rect.width());
    painter->drawText(rect, int(part->alignment()) | Qt::TextSingleLine, shown);
}

} // namespace

GradeListCell::GradeListCell(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_form(std::make_unique<QWidget>())
    , m_ui(std::make_unique<Ui::GradeListCell>()) {
    m_ui->setupUi(m_form.get());
    StyleTokens::expandTree(m_form.get());
    // The style sheets give the parts their fonts and colours once polished.
    m_form->setAttribute(Qt::WA_DontShowOnScreen);
    m_form->ensurePolished();
    for (QLabel *part : m_form->findChildren<QLabel *>())
        part->ensurePolished();
}

GradeListCell::~GradeListCell() = default;

void GradeListCell::layOut(int width) const {
    if (width == m_laidOutWidth)
        return;
    m_laidOutWidth = width;
    m_form->resize(width, RowHeight);
    m_form->layout()->invalidate();
    m_form->layout()->activate();
    m_form->layout()->setGeometry(QRect(0, 0, width, RowHeight));
}

QRect GradeListCell::partRect(const QString &partName, int width) const {
    layOut(width);
    const auto *part = m_form->findChild<QWidget *>(partName);
    return part ? part->geometry() : QRect();
}

QSize GradeListCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return {qMax(option.rect.width(), 1), RowHeight};
}

void GradeListCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect;
    CellPainter::paintBackground(painter, option, QColor());
    layOut(row.width());
    const auto at = [&](const QWidget *part) { return part->geometry().translated(row.topLeft()); };
    const QColor textColor(FrameStyle::SheetTextColor);
    drawText(painter, m_ui->bookNameLabel, at(m_ui->bookNameLabel),
             index.data(FeelRows::BookNameRole).toString(),
             m_ui->bookNameLabel->palette().color(QPalette::WindowText));
    drawText(painter, m_ui->authorNameLabel, at(m_ui->authorNameLabel),
             index.data(FeelRows::AuthorNameRole).toString(),
             m_ui->authorNameLabel->palette().color(QPalette::WindowText));
    drawText(painter, m_ui->timeLabel, at(m_ui->timeLabel),
             index.data(FeelRows::TimeRole).toString(),
             m_ui->timeLabel->palette().color(QPalette::WindowText));
    const QColor gradeColor = index.data(FeelRows::TypeColorRole).value<QColor>();
    drawText(painter, m_ui->typeLabel, at(m_ui->typeLabel),
             index.data(FeelRows::TypeTextRole).toString(),
             gradeColor.isValid() ? gradeColor : textColor);
    const QString icon = index.data(FeelRows::TypeImageRole).toString();
    if (!icon.isEmpty()) {
        const QRect box = at(m_ui->typeImageView);
        painter->drawPixmap(box, Assets::pixmap(icon, box.size()));
    }
    CellPainter::finish(painter, option, CellPainter::Hairline::Thin, HairlineIndent);
    painter->restore();
}
