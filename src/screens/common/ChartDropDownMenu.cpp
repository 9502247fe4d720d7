#include "ChartDropDownMenu.h"

#include "ChartMenuColumn.h"
#include "ChartMenuGridCell.h"
#include "ChartMenuRows.h"
#include "CheckMarkRowDelegate.h"
#include "DesktopForm.h"
#include "DimmedBackdrop.h"
#include "FrameStyle.h"
#include "TextRules.h"

#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

const QColor ChartDropDownMenu::HighlightColor = QColor(FrameStyle::HighlightColor);
const QColor ChartDropDownMenu::RestingColor = QColor(FrameStyle::MenuResting);
const QColor ChartDropDownMenu::OpenColor = QColor(FrameStyle::PressedGrey);
const QColor ChartDropDownMenu::LeftListColor = QColor(FrameStyle::MenuLeftList);

namespace {

// A list row: the title 20 from the left, a line along the bottom from 10, the check mark 25 in
// from the right with the title stopping short of it.
CheckMarkRowDelegate *rowCell(QObject *parent) {
    CheckMarkRowDelegate::Look look;
    look.rowHeight = ChartDropDownMenu::RowHeight;
    look.highlightColor = ChartDropDownMenu::HighlightColor;
    look.leftListColor = ChartDropDownMenu::LeftListColor;
    look.checkFromRight = 25;
    look.titleRightInset = 25 + 20;
    look.separatorInset = 10;
    return new CheckMarkRowDelegate(look, parent);
}

} // namespace

ChartDropDownMenu::ChartDropDownMenu(QPoint origin, int height, QWidget *parent, int width)
    : QWidget(parent)
    , m_origin(origin)
    , m_menuHeight(height)
    , m_fullWidth(width <= 0) {
    applyTexts();
    setGeometry(
        QRect(placedOrigin(), QSize(width > 0 ? width : (parent ? parent->width() : 0), height)));
    m_rows = new ChartMenuRows(this, 0);
    m_rightRows = new ChartMenuRows(this, 1);
    m_gridRows = new ChartMenuRows(this, -1);
    // The lists and the grid grow and shrink on their own clocks, since one opens while the
    // other closes; each hides once shrunk unless it is the open part again by then.
    m_listAnimation = new QVariantAnimation(this);
    m_listAnimation->setDuration(GrowMs);
    connect(m_listAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        for (QListView *list : {m_leftList.data(), m_rightList.data()})
            if (list)
                list->resize(list->width(), v.toInt());
    });
    connect(m_listAnimation, &QVariantAnimation::finished, this, [this] {
        if (m_show && !m_showsGrid)
            return;
        for (QListView *list : {m_leftList.data(), m_rightList.data()})
            if (list)
                list->hide();
    });
    m_gridAnimation = new QVariantAnimation(this);
    m_gridAnimation->setDuration(GrowMs);
    connect(m_gridAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        if (m_grid)
            m_grid->resize(m_grid->width(), v.toInt());
    });
    connect(m_gridAnimation, &QVariantAnimation::finished, this, [this] {
        if (!(m_show && m_showsGrid) && m_grid)
            m_grid->hide();
    });
    m_dimAnimation = new QVariantAnimation(this);
    m_dimAnimation->setDuration(GrowMs);
    connect(m_dimAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_dimAlpha = v.toDouble();
        if (m_dim)
            m_dim->setAlpha(int(std::lround(m_dimAlpha * 255)));
    });
    connect(m_dimAnimation, &QVariantAnimation::finished, this, [this] {
        if (!m_show && m_dim)
            m_dim->hide();
    });
    if (parent)
        parent->installEventFilter(this);
}

ChartDropDownMenu::~ChartDropDownMenu() {
    // The open parts live in the parent, beside the bar.
    delete m_dim;
    delete m_leftList;
    delete m_rightList;
    delete m_grid;
}

void ChartDropDownMenu::applyTexts() {
    setAccessibleName(tr("筛选"));
    if (m_dim)
        m_dim->setAccessibleName(tr("关闭筛选"));
    if (m_leftList)
        m_leftList->setAccessibleName(tr("筛选选项"));
    if (m_rightList)
        m_rightList->setAccessibleName(tr("筛选细项"));
    if (m_grid)
        m_grid->setAccessibleName(tr("筛选选项"));
}

void ChartDropDownMenu::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    applyTexts();
    if (m_dataSource)
        for (int i = 0; i < m_columns.size(); ++i)
            m_columns.at(i)->setTitle(m_dataSource->menuTitleForColumn(this, i));
    for (ChartMenuRows *rows : {m_rows, m_rightRows, m_gridRows})
        rows->retitle();
}

void ChartDropDownMenu::setTextColor(const QColor &color) {
    m_textColor = color;
    colourRows();
}

void ChartDropDownMenu::setSeparatorColor(const QColor &color) {
    m_separatorColor = color;
    colourRows();
    update();
}

void ChartDropDownMenu::colourRows() {
    for (QListView *list : {m_leftList.data(), m_rightList.data()}) {
        if (auto *cell =
                list ? static_cast<CheckMarkRowDelegate *>(list->itemDelegate()) : nullptr) {
            cell->setTextColor(m_textColor);
            cell->setSeparatorColor(m_separatorColor);
            list->viewport()->update();
        }
    }
}

QWidget *ChartDropDownMenu::backGroundView() const {
    return m_dim;
}

void ChartDropDownMenu::setDataSource(ChartDropDownMenuDataSource *dataSource) {
    m_dataSource = dataSource;
    qDeleteAll(m_columns);
    m_columns.clear();
    m_numOfMenu = dataSource ? std::max<qint64>(0, dataSource->numberOfColumnsInMenu(this)) : 0;
    for (qint64 i = 0; i < m_numOfMenu && i < 64; ++i) {
        auto *column = new ChartMenuColumn(this);
        column->titleColor = m_textColor;
        column->indicatorColor = m_indicatorColor;
        column->setTitle(dataSource->menuTitleForColumn(this, i));
        connect(column, &DropDownBarColumn::activated, this,
                [this, column] { menuTapped(column->geometry().center()); });
        column->show();
        m_columns.append(column);
    }
    m_numOfMenu = m_columns.size();
    resizeEvent(nullptr);
}

int ChartDropDownMenu::columnWidth() const {
    return m_columns.isEmpty() ? width() : width() / int(m_columns.size());
}

ChartMenuColumn *ChartDropDownMenu::column(int index) const {
    return index >= 0 && index < m_columns.size() ? m_columns.at(index) : nullptr;
}

int ChartDropDownMenu::mostListHeight() const {
    const int screenHeight = window() ? window()->height() : 0;
    return std::max(0, screenHeight - NavigationBarHeight - m_menuHeight - TabBarHeight);
}

int ChartDropDownMenu::listHeightForRows(qint64 rows) const {
    return int(std::min<qint64>(std::max<qint64>(rows, 0) * RowHeight, mostListHeight()));
}

int ChartDropDownMenu::gridHeightForItems(qint64 items) {
    const qint64 shown = std::clamp<qint64>(items, 0, GridMostItems);
    return int((shown + 1) / 2 * RowHeight);
}

void ChartDropDownMenu::restColumns(int except) {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (i == except)
            continue;
        ChartMenuColumn *c = m_columns.at(i);
        c->rotateTo(0);
        c->titleColor = m_textColor;
        c->indicatorColor = m_indicatorColor;
        c->backgroundColor = RestingColor;
        c->update();
    }
}

void ChartDropDownMenu::menuTapped(QPoint pos) {
    if (m_columns.isEmpty() || pos.x() < 0 || columnWidth() <= 0)
        return;
    const int tapped = pos.x() / columnWidth();
    if (tapped >= m_columns.size())
        return;
    ChartMenuColumn *c = m_columns.at(tapped);
    c->titleColor = HighlightColor;
    c->indicatorColor = HighlightColor;
    restColumns(tapped);
    if (tapped == m_currentSelectedMenudIndex && m_show) {
        close();
        c->backgroundColor = RestingColor;
        c->titleColor = m_textColor;
        c->indicatorColor = m_indicatorColor;
        c->update();
        return;
    }
    openColumn(tapped, m_dataSource->displayByCollectionViewInColumn(tapped));
}

QListView *ChartDropDownMenu::makeView(QWidget *host, const QString &name,
                                       const QString &accessibleName, ChartMenuRows *rows) {
    auto *view = new QListView(host);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setModel(rows);
    view->setFrameShape(QFrame::NoFrame);
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->installEventFilter(this);
    view->resize(0, 0);
    view->hide();
    return view;
}

void ChartDropDownMenu::openColumn(int column, bool grid) {
    m_currentSelectedMenudIndex = column;
    QWidget *host = parentWidget();
    if (!host)
        return;
    if (!m_dim) {
        m_dim = new DimmedBackdrop(tr("关闭筛选"), DimmedBackdrop::TapOn::Press, host);
        m_dim->setAlpha(int(std::lround(m_dimAlpha * 255)));
        connect(m_dim, &DimmedBackdrop::tapped, this, &ChartDropDownMenu::backgroundTapped);
        m_dim->hide();
    }
    m_dim->show();
    m_dim->stackUnder(this);
    if (grid)
        openGrid(host);
    else
        openLists(host);
    raise();
    m_columns.at(column)->rotateTo(M_PI);
    animateDim(true);
    m_show = true;
    m_columns.at(column)->backgroundColor = OpenColor;
    m_columns.at(column)->update();
}

void ChartDropDownMenu::openLists(QWidget *host) {
    const qint64 column = m_currentSelectedMenudIndex;
    if (const auto row = m_dataSource->currentLeftSelectedRow(column))
        m_leftSelectedRow = *row;
    m_hasRight = m_dataSource->haveRightTableViewInColumn(column);
    if (!m_leftList) {
        m_leftList = makeView(host, QStringLiteral("leftTableView"), tr("筛选选项"), m_rows);
        m_leftList->setItemDelegate(rowCell(m_leftList));
        connect(m_leftList, &QListView::clicked, this, [this](const QModelIndex &index) {
            tableViewDidSelectRowAtIndexPath(index.row(), 0);
        });
        m_rightList = makeView(host, QStringLiteral("rightTableView"), tr("筛选细项"), m_rightRows);
        m_rightList->setItemDelegate(rowCell(m_rightList));
        connect(m_rightList, &QListView::clicked, this, [this](const QModelIndex &index) {
            tableViewDidSelectRowAtIndexPath(index.row(), 1);
        });
        colourRows();
    }
    if (m_show && m_showsGrid) {
        m_show = false; // lets the grid hide once shrunk
        animateGrid(0);
    }
    if (!m_show || m_showsGrid) {
        m_leftList->resize(m_leftList->width(), 0);
        m_rightList->resize(m_rightList->width(), 0);
    }
    m_showsGrid = false;
    m_rows->reload();
    m_rightRows->reload(!m_hasRight);
    placeOpenParts();
    m_leftList->show();
    m_leftList->raise();
    m_rightList->setVisible(m_hasRight);
    m_rightList->raise();
    m_leftList->setFocus();
    if (m_rows->rowCount() > 0)
        m_leftList->setCurrentIndex(
            m_rows->index(int(std::clamp<qint64>(m_leftSelectedRow, 0, m_rows->rowCount() - 1))));
    for (int i = 0; i < m_rightRows->rowCount(); ++i)
        if (m_rightRows->index(i).data(CheckMarkRoles::MarkedRole).toBool())
            m_rightList->setCurrentIndex(m_rightRows->index(i));
    animateList(m_hasRight ? mostListHeight() : listHeightForRows(m_rows->rowCount()));
}

void ChartDropDownMenu::openGrid(QWidget *host) {
    if (!m_grid) {
        m_grid = makeView(host, QStringLiteral("collectionView"), tr("筛选选项"), m_gridRows);
        m_grid->setViewMode(QListView::IconMode);
        m_grid->setFlow(QListView::LeftToRight);
        m_grid->setWrapping(true);
        m_grid->setMovement(QListView::Static);
        m_grid->setResizeMode(QListView::Adjust);
        m_grid->setSpacing(0);
        // A scroll bar would narrow the grid below two items a row; it scrolls by wheel and keys.
        m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_grid->setPalette(QPalette(m_separatorColor));
        m_grid->setBackgroundRole(QPalette::Window);
        m_grid->viewport()->setBackgroundRole(QPalette::Window);
        m_grid->setItemDelegate(new ChartMenuGridCell(this, m_grid));
        connect(m_grid, &QListView::clicked, this, [this](const QModelIndex &index) {
            collectionViewDidSelectItemAtIndexPath(index.row());
        });
    }
    if (m_show && !m_showsGrid) {
        m_show = false; // lets the lists hide once shrunk
        animateList(0);
    }
    if (!m_show || !m_showsGrid)
        m_grid->resize(m_grid->width(), 0);
    m_showsGrid = true;
    m_gridRows->reload();
    placeOpenParts();
    m_grid->show();
    m_grid->raise();
    m_grid->setFocus();
    if (m_gridRows->rowCount() > 0)
        m_grid->setCurrentIndex(m_gridRows->index(0));
    for (int i = 0; i < m_gridRows->rowCount(); ++i)
        if (m_gridRows->index(i).data(CheckMarkRoles::MarkedRole).toBool())
            m_grid->setCurrentIndex(m_gridRows->index(i));
    animateGrid(gridHeightForItems(m_gridRows->rowCount()));
}

QPoint ChartDropDownMenu::placedOrigin() const {
    return m_origin + QPoint(0, parentWidget() ? parentWidget()->contentsMargins().top() : 0);
}

void ChartDropDownMenu::placeOpenParts() {
    QWidget *host = parentWidget();
    if (!host)
        return;
    const int top = y() + height();
    if (m_dim)
        m_dim->setTopLeft(QPoint(0, top));
    double ratio = 1.0;
    if (m_dataSource && m_currentSelectedMenudIndex >= 0 && !m_showsGrid)
        ratio =
            std::clamp(m_dataSource->widthRatioOfLeftColumn(m_currentSelectedMenudIndex), 0.0, 1.0);
    // Across the screen on a phone; on a desktop window a popup under the column that opened it,
    // as wide as its choices need (a second list beside the first, a grid of two).
    int left = 0;
    int span = host->width();
    if (DesktopForm::holds(this)) {
        const ChartMenuColumn *opener = column(int(m_currentSelectedMenudIndex));
        const int wanted = (m_showsGrid || ratio < 1.0) ? 2 * PopupWidth : PopupWidth;
        span = qMin(host->width(), qMax(wanted, opener ? opener->width() : 0));
        left = opener ? qBound(0, x() + opener->x(), host->width() - span) : 0;
    }
    if (m_leftList) {
        const int leftWidth = int(span * ratio);
        m_leftList->setGeometry(left, top, leftWidth, m_leftList->height());
        m_rightList->setGeometry(left + leftWidth, top, span - leftWidth, m_rightList->height());
    }
    if (m_grid) {
        m_grid->setGeometry(left, top, span, m_grid->height());
        // The icon layout wraps past the last pixel, so two items fit at (width - 1) / 2 only.
        m_grid->setGridSize(QSize((span - 1) / 2, RowHeight));
    }
}

void ChartDropDownMenu::animateList(int toHeight) {
    m_listAnimation->stop();
    m_listAnimation->setStartValue(m_leftList ? m_leftList->height() : 0);
    m_listAnimation->setEndValue(toHeight);
    m_listAnimation->start();
}

void ChartDropDownMenu::animateGrid(int toHeight) {
    m_gridAnimation->stop();
    m_gridAnimation->setStartValue(m_grid ? m_grid->height() : 0);
    m_gridAnimation->setEndValue(toHeight);
    m_gridAnimation->start();
}

void ChartDropDownMenu::animateDim(bool on) {
    m_dimAnimation->stop();
    m_dimAnimation->setStartValue(m_dimAlpha);
    // A desktop popup leaves the screen as it is; a click beside it still closes it.
    m_dimAnimation->setEndValue(on && !DesktopForm::holds(this) ? DimAlpha : 0.0);
    m_dimAnimation->start();
}

void ChartDropDownMenu::close() {
    if (!m_show)
        return;
    m_show = false;
    if (ChartMenuColumn *c = column(int(m_currentSelectedMenudIndex)))
        c->rotateTo(0);
    animateDim(false);
    if (m_showsGrid)
        animateGrid(0);
    else
        animateList(0);
}

void ChartDropDownMenu::backgroundTapped() {
    close();
    restColumns(-1);
}

void ChartDropDownMenu::tableViewDidSelectRowAtIndexPath(int row, int leftOrRight) {
    const ChartMenuRows *rows = leftOrRight == 1 ? m_rightRows : m_rows;
    if (!m_show || m_showsGrid || (leftOrRight != 0 && leftOrRight != 1) || row < 0 ||
        row >= rows->rowCount())
        return;
    if (leftOrRight == 0)
        m_leftSelectedRow = row;
    if (!m_delegate)
        return;
    if (leftOrRight == 0 && m_hasRight) {
        // The left choice only picks the right rows: the list stays open for the right one.
        m_rows->reload();
        m_leftList->setCurrentIndex(m_rows->index(row));
        m_rightRows->reload();
        return;
    }
    confiMenuWithSelectRow(row, leftOrRight);
    m_delegate->menuDidSelectRowAtIndexPath(
        this, ChartIndexPath::indexPathWithCol(m_currentSelectedMenudIndex, leftOrRight,
                                               m_leftSelectedRow, row));
}

void ChartDropDownMenu::collectionViewDidSelectItemAtIndexPath(int item) {
    if (!m_show || !m_showsGrid || item < 0 || item >= m_gridRows->rowCount() || !m_delegate)
        return;
    confiMenuWithSelectRow(item, -1);
    m_delegate->menuDidSelectRowAtIndexPath(
        this, ChartIndexPath::indexPathWithCol(m_currentSelectedMenudIndex, -1, -1, item));
}

void ChartDropDownMenu::confiMenuWithSelectRow(int row, int leftOrRight) {
    ChartMenuColumn *c = column(int(m_currentSelectedMenudIndex));
    if (!c)
        return;
    c->setTitle(m_dataSource->menuTitleForRowAtIndexPath(
        this, ChartIndexPath::indexPathWithCol(m_currentSelectedMenudIndex, leftOrRight,
                                               leftOrRight < 0 ? -1 : m_leftSelectedRow, row)));
    close();
    restColumns(-1);
}

void ChartDropDownMenu::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(QRect(0, height() - 1, width(), 1), m_separatorColor);
}

void ChartDropDownMenu::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        menuTapped(event->position().toPoint());
}

void ChartDropDownMenu::resizeEvent(QResizeEvent *) {
    const int w = columnWidth();
    for (int i = 0; i < m_columns.size(); ++i)
        m_columns.at(i)->setGeometry(i * w, 0, w, height() - 1); // above the bottom line
    update();
}

bool ChartDropDownMenu::keyPressed(QListView *view, const QKeyEvent *key) {
    if (key->key() == Qt::Key_Escape && m_show) {
        backgroundTapped();
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        view->currentIndex().isValid()) {
        if (view == m_grid)
            collectionViewDidSelectItemAtIndexPath(view->currentIndex().row());
        else
            tableViewDidSelectRowAtIndexPath(view->currentIndex().row(), view == m_rightList);
        return true;
    }
    // Left and Right step between the two lists of a two-level column.
    QListView *other = view == m_leftList ? m_rightList.data() : m_leftList.data();
    const bool across = (view == m_leftList && key->key() == Qt::Key_Right) ||
                        (view == m_rightList && key->key() == Qt::Key_Left);
    if (across && m_hasRight && !m_showsGrid && other) {
        other->setFocus();
        if (!other->currentIndex().isValid() && other->model()->rowCount() > 0)
            other->setCurrentIndex(other->model()->index(0, 0));
        return true;
    }
    return false;
}

bool ChartDropDownMenu::eventFilter(QObject *watched, QEvent *event) {
    // Qt sends a resize also when the parent's contents margins change (the offline bar).
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        if (m_fullWidth)
            resize(parentWidget()->width(), height());
        move(placedOrigin());
        placeOpenParts();
    } else if (event->type() == QEvent::KeyPress &&
               (watched == m_leftList || watched == m_rightList || watched == m_grid)) {
        // The type is asked first: a view's own destruction sends events here, and a guarded
        // pointer must not be read as a list view while it is only a QWidget any more.
        if (keyPressed(static_cast<QListView *>(watched), static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
