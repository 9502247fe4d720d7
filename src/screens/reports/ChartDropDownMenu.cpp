#include "ChartDropDownMenu.h"

#include "Assets.h"
#include "TextRules.h"

#include <QAbstractListModel>
#include <QEasingCurve>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QVariantAnimation>

#include <cmath>

const QColor ChartDropDownMenu::HighlightColor = TextRules::colorWithHexString("b16c2b");
const QColor ChartDropDownMenu::RestingColor = QColor(244, 244, 244);
const QColor ChartDropDownMenu::OpenColor = QColor(238, 238, 238);

namespace {

constexpr int TitleFontPx = 13;
constexpr int TitleMargin = 25;
constexpr QSize IndicatorSize(8, 5);
constexpr int IndicatorGap = 6;
constexpr QSize CheckMarkSize(20, 15);
constexpr int SelectedRole = Qt::UserRole + 1;

QFont titleFont() {
    QFont font;
    font.setPixelSize(TitleFontPx);
    return font;
}

// The rotation curve of the triangle: control points (0.4, 0) and (0.2, 1.0).
QEasingCurve rotationCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.4, 0), QPointF(0.2, 1.0), QPointF(1, 1));
    return curve;
}

} // namespace

// The rows of the open list, read from the data source each time the list is (re)loaded.
class ChartMenuRows : public QAbstractListModel {
public:
    explicit ChartMenuRows(ChartDropDownMenu *menu)
        : QAbstractListModel(menu)
        , m_menu(menu) {}

    void reload() {
        beginResetModel();
        m_count = 0;
        if (auto *source = m_menu->dataSource()) {
            m_count = std::max<qint64>(
                0, source->menuNumberOfRowsInColumn(m_menu, m_menu->currentSelectedMenudIndex(), 0,
                                                    m_menu->leftSelectedRow()));
        }
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(std::min<qint64>(m_count, INT_MAX));
    }

    QVariant data(const QModelIndex &index, int role) const override {
        auto *source = m_menu->dataSource();
        if (!source || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return source->menuTitleForRowAtIndexPath(
                m_menu, ChartIndexPath::indexPathWithCol(m_menu->currentSelectedMenudIndex(), 0,
                                                         m_menu->leftSelectedRow(), index.row()));
        }
        if (role == SelectedRole)
            return index.row() == m_menu->leftSelectedRow();
        return {};
    }

private:
    ChartDropDownMenu *m_menu;
    qint64 m_count = 0;
};

// A list row: white, the title 20 from the left, a line along the bottom from 10; the owner's
// current choice in the highlight colour with the check mark.
class ChartMenuRowCell : public QStyledItemDelegate {
public:
    ChartMenuRowCell(ChartDropDownMenu *menu, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_menu(menu) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
        return {option.rect.width(), ChartDropDownMenu::RowHeight};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const QRect r = option.rect;
        const bool selected = index.data(SelectedRole).toBool();
        painter->save();
        painter->fillRect(r, Qt::white);
        painter->setFont(titleFont());
        painter->setPen(selected ? ChartDropDownMenu::HighlightColor : m_menu->textColor());
        painter->drawText(r.adjusted(20, 0, -TitleMargin - CheckMarkSize.width(), 0),
                          Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        painter->fillRect(QRect(r.left() + 10, r.bottom(), r.width() - 10, 1),
                          m_menu->separatorColor());
        if (selected) {
            const QRect mark(QPoint(r.right() + 1 - TitleMargin,
                                    r.top() + (r.height() - CheckMarkSize.height()) / 2),
                             CheckMarkSize);
            painter->drawPixmap(mark, Assets::pixmap(QStringLiteral("ico_make"), CheckMarkSize));
        }
        painter->restore();
    }

private:
    ChartDropDownMenu *m_menu;
};

// The dimmed area under the open list; a touch closes the list.
class ChartMenuDimView : public QWidget {
public:
    explicit ChartMenuDimView(ChartDropDownMenu *menu, QWidget *parent)
        : QWidget(parent)
        , m_menu(menu) {
        setAccessibleName(QStringLiteral("关闭筛选"));
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0, int(std::lround(m_menu->dimAlpha() * 255))));
    }
    void mousePressEvent(QMouseEvent *) override { m_menu->backgroundTapped(); }

private:
    ChartDropDownMenu *m_menu;
};

ChartMenuColumn::ChartMenuColumn(QWidget *parent)
    : QWidget(parent)
    , backgroundColor(ChartDropDownMenu::RestingColor) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_rotation = new QVariantAnimation(this);
    m_rotation->setDuration(ChartDropDownMenu::RotateMs);
    m_rotation->setEasingCurve(rotationCurve());
    connect(m_rotation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_angle = value.toDouble();
        update();
    });
}

void ChartMenuColumn::setTitle(const QString &title) {
    m_title = title;
    setAccessibleName(title);
    update();
}

QString ChartMenuColumn::shownTitle() const {
    return QFontMetrics(titleFont())
        .elidedText(m_title, Qt::ElideRight, std::max(0, width() - TitleMargin));
}

QRect ChartMenuColumn::titleRect() const {
    const QFontMetrics metrics(titleFont());
    const QSize size(metrics.horizontalAdvance(shownTitle()), metrics.height());
    QRect r(QPoint(), size);
    r.moveCenter(QPoint(width() / 2, height() / 2 - 2));
    return r;
}

QPointF ChartMenuColumn::indicatorCentre() const {
    const QRect title = titleRect();
    return {qreal(title.right() + 1 + IndicatorGap), title.center().y() + 0.5};
}

void ChartMenuColumn::rotateTo(double to) {
    if (qFuzzyCompare(m_angle + 1, to + 1) && m_rotation->state() != QAbstractAnimation::Running)
        return;
    m_rotation->stop();
    m_rotation->setStartValue(m_angle);
    m_rotation->setEndValue(to);
    m_rotation->start();
}

void ChartMenuColumn::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), backgroundColor);
    painter.setFont(titleFont());
    painter.setPen(titleColor);
    painter.drawText(titleRect(), Qt::AlignCenter, shownTitle());
    painter.translate(indicatorCentre());
    painter.rotate(qRadiansToDegrees(m_angle));
    const double w = IndicatorSize.width() / 2.0, h = IndicatorSize.height() / 2.0;
    QPainterPath triangle;
    triangle.moveTo(-w, -h);
    triangle.lineTo(w, -h);
    triangle.lineTo(0, h);
    triangle.closeSubpath();
    painter.fillPath(triangle, indicatorColor);
}

ChartDropDownMenu::ChartDropDownMenu(QPoint origin, int height, QWidget *parent, int width)
    : QWidget(parent)
    , m_origin(origin)
    , m_menuHeight(height)
    , m_fullWidth(width <= 0) {
    setAccessibleName(QStringLiteral("筛选"));
    setGeometry(QRect(origin, QSize(width > 0 ? width : (parent ? parent->width() : 0), height)));
    m_rows = new ChartMenuRows(this);
    m_listAnimation = new QVariantAnimation(this);
    m_listAnimation->setDuration(GrowMs);
    connect(m_listAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        if (m_leftList)
            m_leftList->resize(m_leftList->width(), v.toInt());
    });
    connect(m_listAnimation, &QVariantAnimation::finished, this, [this] {
        if (!m_show && m_leftList)
            m_leftList->hide();
    });
    m_dimAnimation = new QVariantAnimation(this);
    m_dimAnimation->setDuration(GrowMs);
    connect(m_dimAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_dimAlpha = v.toDouble();
        if (m_dim)
            m_dim->update();
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
}

void ChartDropDownMenu::setSeparatorColor(const QColor &color) {
    m_separatorColor = color;
    update();
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

int ChartDropDownMenu::listHeightForRows(qint64 rows) const {
    const int screenHeight = window() ? window()->height() : 0;
    const int most = std::max(0, screenHeight - NavigationBarHeight - m_menuHeight - TabBarHeight);
    return int(std::min<qint64>(std::max<qint64>(rows, 0) * RowHeight, most));
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
    m_dataSource->displayByCollectionViewInColumn(tapped);
    openColumn(tapped);
}

void ChartDropDownMenu::openColumn(int column) {
    m_currentSelectedMenudIndex = column;
    if (const auto row = m_dataSource->currentLeftSelectedRow(column))
        m_leftSelectedRow = *row;
    m_dataSource->haveRightTableViewInColumn(column);
    QWidget *host = parentWidget();
    if (!host)
        return;
    if (!m_leftList) {
        m_leftList = new QListView(host);
        m_leftList->setObjectName(QStringLiteral("leftTableView"));
        m_leftList->setAccessibleName(QStringLiteral("筛选选项"));
        m_leftList->setModel(m_rows);
        m_leftList->setItemDelegate(new ChartMenuRowCell(this, m_leftList));
        m_leftList->setFrameShape(QFrame::NoFrame);
        m_leftList->setUniformItemSizes(true);
        m_leftList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_leftList->installEventFilter(this);
        connect(m_leftList, &QListView::clicked, this, [this](const QModelIndex &index) {
            tableViewDidSelectRowAtIndexPath(index.row());
        });
        m_leftList->resize(0, 0);
    }
    if (!m_dim) {
        m_dim = new ChartMenuDimView(this, host);
        m_dim->setObjectName(QStringLiteral("backGroundView"));
        m_dim->hide();
    }
    m_rows->reload();
    if (!m_show)
        m_leftList->resize(m_leftList->width(), 0);
    placeOpenParts();
    m_dim->show();
    m_leftList->show();
    m_dim->stackUnder(this);
    m_leftList->raise();
    raise();
    m_leftList->setFocus();
    if (m_rows->rowCount() > 0)
        m_leftList->setCurrentIndex(
            m_rows->index(int(std::clamp<qint64>(m_leftSelectedRow, 0, m_rows->rowCount() - 1))));

    m_columns.at(column)->rotateTo(M_PI);
    animateDim(true);
    animateList(listHeightForRows(m_rows->rowCount()));
    m_show = true;
    m_columns.at(column)->backgroundColor = OpenColor;
    m_columns.at(column)->update();
}

void ChartDropDownMenu::placeOpenParts() {
    QWidget *host = parentWidget();
    if (!host)
        return;
    const int top = y() + height();
    if (m_dim)
        m_dim->setGeometry(0, top, host->width(), std::max(0, host->height() - top));
    if (m_leftList) {
        double ratio = 1.0;
        if (m_dataSource && m_currentSelectedMenudIndex >= 0)
            ratio = std::clamp(m_dataSource->widthRatioOfLeftColumn(m_currentSelectedMenudIndex),
                               0.0, 1.0);
        m_leftList->setGeometry(0, top, int(host->width() * ratio), m_leftList->height());
    }
}

void ChartDropDownMenu::animateList(int toHeight) {
    m_listAnimation->stop();
    m_listAnimation->setStartValue(m_leftList ? m_leftList->height() : 0);
    m_listAnimation->setEndValue(toHeight);
    m_listAnimation->start();
}

void ChartDropDownMenu::animateDim(bool on) {
    m_dimAnimation->stop();
    m_dimAnimation->setStartValue(m_dimAlpha);
    m_dimAnimation->setEndValue(on ? DimAlpha : 0.0);
    m_dimAnimation->start();
}

void ChartDropDownMenu::close() {
    if (!m_show)
        return;
    m_show = false;
    if (ChartMenuColumn *c = column(int(m_currentSelectedMenudIndex)))
        c->rotateTo(0);
    animateDim(false);
    animateList(0);
}

void ChartDropDownMenu::backgroundTapped() {
    close();
    restColumns(-1);
}

void ChartDropDownMenu::tableViewDidSelectRowAtIndexPath(int row) {
    if (!m_show || row < 0 || row >= m_rows->rowCount())
        return;
    m_leftSelectedRow = row;
    if (!m_delegate)
        return;
    confiMenuWithSelectRow(row, 0);
    m_delegate->menuDidSelectRowAtIndexPath(
        this,
        ChartIndexPath::indexPathWithCol(m_currentSelectedMenudIndex, 0, m_leftSelectedRow, row));
}

void ChartDropDownMenu::confiMenuWithSelectRow(int row, int leftOrRight) {
    ChartMenuColumn *c = column(int(m_currentSelectedMenudIndex));
    if (!c)
        return;
    c->setTitle(m_dataSource->menuTitleForRowAtIndexPath(
        this, ChartIndexPath::indexPathWithCol(m_currentSelectedMenudIndex, leftOrRight,
                                               m_leftSelectedRow, row)));
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

bool ChartDropDownMenu::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        if (m_fullWidth)
            resize(parentWidget()->width(), height());
        placeOpenParts();
    } else if (event->type() == QEvent::KeyPress && watched == m_leftList) {
        // The type is asked first: the list's own destruction sends events here, and a guarded
        // pointer must not be read as a list view while it is only a QWidget any more.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && m_show) {
            backgroundTapped();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_leftList->currentIndex().isValid()) {
            tableViewDidSelectRowAtIndexPath(m_leftList->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
