#include "ClassSortView.h"

#include "DropDownBarColumn.h"
#include "FrameStyle.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr qreal SeparatorWidth = 0.5;

// The title centred in the whole column, the triangle's edge a gap after it; a long title loses
// its end.
const DropDownBarColumn::Look SortLook{
    .titlePixelSize = 14, .elision = Qt::ElideRight, .cutMargin = 23, .onFontLine = false};
} // namespace

int ClassSortViewDataSource::numberOfColumnsInMenu(ClassSortView *) {
    return 1;
}

ClassSortView::ClassSortView(QPoint origin, int height, int screenWidth, QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("sortView"));
    setAccessibleName(tr("排序"));
    setGeometry(origin.x(), origin.y(), screenWidth * 2 / 3, height);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void ClassSortView::setDataSource(ClassSortViewDataSource *source) {
    m_dataSource = source;
    m_dataSourceObject = dynamic_cast<QObject *>(source);
    buildColumns();
}

ClassSortViewDataSource *ClassSortView::dataSource() const {
    return m_dataSourceObject ? m_dataSource : nullptr;
}

void ClassSortView::buildColumns() {
    qDeleteAll(m_columns);
    m_columns.clear();
    ClassSortViewDataSource *source = dataSource();
    m_numOfMenu = source ? qMax(0, source->numberOfColumnsInMenu(this)) : 1;
    for (int i = 0; i < m_numOfMenu; ++i) {
        auto *c = new DropDownBarColumn(SortLook, this);
        c->setObjectName(QStringLiteral("column%1").arg(i));
        c->setTitle(source ? source->menuTitleForColumn(this, i) : QString());
        connect(c, &DropDownBarColumn::activated, this,
                [this, c] { menuTapped(c->geometry().center().x()); });
        c->show();
        m_columns << c;
    }
    m_currentSelectedMenudIndex = -1;
    restyleColumnsBut(-1);
    layoutColumns();
}

void ClassSortView::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    setAccessibleName(tr("排序"));
    if (ClassSortViewDataSource *source = dataSource())
        for (int i = 0; i < m_columns.size(); ++i)
            m_columns[i]->setTitle(source->menuTitleForColumn(this, i));
}

void ClassSortView::layoutColumns() {
    if (m_columns.isEmpty())
        return;
    const qreal w = qreal(width()) / m_columns.size();
    for (int i = 0; i < m_columns.size(); ++i) {
        const int left = qRound(i * w);
        m_columns[i]->setGeometry(left, 0, qRound((i + 1) * w) - left, height() - 1);
    }
}

void ClassSortView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutColumns();
}

void ClassSortView::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setPen(QPen(m_separatorColor, SeparatorWidth));
    const qreal y = height() - SeparatorWidth / 2;
    p.drawLine(QPointF(0, y), QPointF(width(), y));
}

void ClassSortView::setTextColor(const QColor &color) {
    m_textColor = color;
    restyleColumnsBut(m_currentSelectedMenudIndex);
}

void ClassSortView::setIndicatorColor(const QColor &color) {
    m_indicatorColor = color;
    restyleColumnsBut(m_currentSelectedMenudIndex);
}

void ClassSortView::restyleColumnsBut(int kept) {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (i == kept)
            continue;
        m_columns[i]->backgroundColor = QColor(NormalGrey, NormalGrey, NormalGrey);
        m_columns[i]->titleColor = m_textColor;
        m_columns[i]->indicatorColor = m_indicatorColor;
        m_columns[i]->update();
    }
}

void ClassSortView::setSeparatorColor(const QColor &color) {
    m_separatorColor = color;
    update();
}

DropDownBarColumn *ClassSortView::column(int index) const {
    return index >= 0 && index < m_columns.size() ? m_columns.at(index) : nullptr;
}

QList<QWidget *> ClassSortView::columns() const {
    return {m_columns.cbegin(), m_columns.cend()};
}

QString ClassSortView::columnTitle(int index) const {
    const DropDownBarColumn *c = column(index);
    return c ? c->shownTitle() : QString();
}

QColor ClassSortView::columnBackground(int index) const {
    const DropDownBarColumn *c = column(index);
    return c ? c->backgroundColor : QColor();
}

QColor ClassSortView::columnTitleColor(int index) const {
    const DropDownBarColumn *c = column(index);
    return c ? c->titleColor : QColor();
}

void ClassSortView::menuTapped(qreal x) {
    if (m_numOfMenu <= 0 || width() <= 0)
        return;
    const int tapped = int(std::floor(x / (qreal(width()) / m_numOfMenu)));
    if (tapped < 0 || tapped >= m_columns.size())
        return;
    restyleColumnsBut(tapped);
    if (tapped == m_currentSelectedMenudIndex)
        return;
    showSelected(tapped);
    if (ClassSortViewDataSource *source = dataSource())
        source->menuDidSelectColumn(this, tapped);
}

void ClassSortView::showSelected(int index) {
    restyleColumnsBut(index);
    DropDownBarColumn *c = column(index);
    m_currentSelectedMenudIndex = c ? index : -1;
    if (!c)
        return;
    const QColor selected = QColor(FrameStyle::HighlightColor);
    c->backgroundColor = QColor(SelectedGrey, SelectedGrey, SelectedGrey);
    c->titleColor = selected;
    c->indicatorColor = selected;
    c->update();
}

void ClassSortView::mousePressEvent(QMouseEvent *event) {
    event->accept();
}

void ClassSortView::mouseReleaseEvent(QMouseEvent *event) {
    if (rect().contains(event->position().toPoint()))
        menuTapped(event->position().x());
}
