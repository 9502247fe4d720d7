#pragma once

#include <QColor>
#include <QList>
#include <QListView>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <optional>

class ChartDropDownMenu;
class ChartMenuColumn;
class ChartMenuRows;

class QKeyEvent;
class QModelIndex;
class QVariantAnimation;

// One choice of the menu: the bar's column, which list (0 left or only, 1 right, -1 grid), the
// left list's row and the row in the named list.
struct ChartIndexPath {
    qint64 column = 0;
    qint64 leftOrRight = 0;
    qint64 leftRow = 0;
    qint64 row = 0;

    static ChartIndexPath indexPathWithCol(qint64 column, qint64 leftOrRight, qint64 leftRow,
                                           qint64 row) {
        return {column, leftOrRight, leftRow, row};
    }
    bool operator==(const ChartIndexPath &other) const = default;
};

// What the menu asks its owner each time it needs it; the menu keeps no filter values. The
// operations with a body are optional: the body is the answer of an owner that does not give one.
class ChartDropDownMenuDataSource {
public:
    virtual ~ChartDropDownMenuDataSource() = default;

    virtual qint64 numberOfColumnsInMenu(ChartDropDownMenu *menu) {
        Q_UNUSED(menu)
        return 1;
    }
    virtual QString menuTitleForColumn(ChartDropDownMenu *menu, qint64 column) = 0;
    virtual bool displayByCollectionViewInColumn(qint64 column) {
        Q_UNUSED(column)
        return false;
    }
    virtual bool haveRightTableViewInColumn(qint64 column) = 0;
    // Nothing answered: the menu keeps the row it had.
    virtual std::optional<qint64> currentLeftSelectedRow(qint64 column) {
        Q_UNUSED(column)
        return std::nullopt;
    }
    virtual double widthRatioOfLeftColumn(qint64 column) = 0;
    virtual qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *menu, qint64 column,
                                            qint64 leftOrRight, qint64 leftRow) {
        Q_UNUSED(menu)
        Q_UNUSED(column)
        Q_UNUSED(leftOrRight)
        Q_UNUSED(leftRow)
        return 0;
    }
    virtual QString menuTitleForRowAtIndexPath(ChartDropDownMenu *menu,
                                               const ChartIndexPath &indexPath) = 0;
    virtual QPixmap menuImageForRowAtIndexPath(ChartDropDownMenu *menu,
                                               const ChartIndexPath &indexPath,
                                               bool isEqualToLeft) {
        Q_UNUSED(menu)
        Q_UNUSED(indexPath)
        Q_UNUSED(isEqualToLeft)
        return {};
    }
};

class ChartDropDownMenuDelegate {
public:
    virtual ~ChartDropDownMenuDelegate() = default;
    virtual void menuDidSelectRowAtIndexPath(ChartDropDownMenu *menu,
                                             const ChartIndexPath &indexPath) = 0;
};

// The filter bar: one title and triangle per column; touching a column opens its choices below
// the bar over a dimmed area of the bar's parent, and a choice closes the list and goes to the
// delegate. Owners set the colours before the data source, and the data source once.
// A column shows a single list, a two-level list (a left list whose choice picks the rows of the
// right list beside it) or a two-column grid, as the data source answers for it.
class ChartDropDownMenu : public QWidget {
    Q_OBJECT
    // The scripted driver taps column N of the bar by it.
    Q_PROPERTY(qint64 numOfMenu READ numOfMenu)
public:
    static constexpr int RowHeight = 38;
    static constexpr int NavigationBarHeight = 64;
    static constexpr int TabBarHeight = 49;
    static constexpr int GrowMs = 200;
    static constexpr int RotateMs = 250;
    static constexpr double DimAlpha = 0.3;
    static const QColor HighlightColor; // "b16c2b"
    static const QColor RestingColor;   // #F4F4F4
    static const QColor OpenColor;      // #EEEEEE
    static const QColor LeftListColor;  // RGB 242,242,241
    static constexpr int GridMostItems = 10;

    // The bar at `origin` of `parent`, `height` high, `width` wide; with no width it spans the
    // parent and follows its resizes (the book list), else the owner sizes it (the reports).
    ChartDropDownMenu(QPoint origin, int height, QWidget *parent, int width = 0);
    ~ChartDropDownMenu() override;

    void setTextColor(const QColor &color) { m_textColor = color; }
    void setIndicatorColor(const QColor &color) { m_indicatorColor = color; }
    void setSeparatorColor(const QColor &color);
    QColor textColor() const { return m_textColor; }
    QColor indicatorColor() const { return m_indicatorColor; }
    QColor separatorColor() const { return m_separatorColor; }

    // Builds the bar from the data source's columns and titles.
    void setDataSource(ChartDropDownMenuDataSource *dataSource);
    void setDelegate(ChartDropDownMenuDelegate *delegate) { m_delegate = delegate; }
    ChartDropDownMenuDataSource *dataSource() const { return m_dataSource; }
    ChartDropDownMenuDelegate *delegate() const { return m_delegate; }

    QPoint origin() const { return m_origin; }
    int menuHeight() const { return m_menuHeight; }
    qint64 numOfMenu() const { return m_numOfMenu; }
    qint64 currentSelectedMenudIndex() const { return m_currentSelectedMenudIndex; }
    bool isShow() const { return m_show; }
    qint64 leftSelectedRow() const { return m_leftSelectedRow; }

    // A touch at `pos` of the bar.
    void menuTapped(QPoint pos);
    // A touch on the dimmed area.
    void backgroundTapped();
    // A choice in the open list: `leftOrRight` 0 for the left (or only) list, 1 for the right.
    void tableViewDidSelectRowAtIndexPath(int row, int leftOrRight = 0);
    // A choice in the open grid.
    void collectionViewDidSelectItemAtIndexPath(int item);
    // The list's height when it opens with `rows` rows; a two-level list takes the most.
    int listHeightForRows(qint64 rows) const;
    int mostListHeight() const;
    // Two items a row; past GridMostItems the grid stops growing and scrolls.
    static int gridHeightForItems(qint64 items);

    // What tests and accessibility read of each column and of the open parts.
    ChartMenuColumn *column(int index) const;
    QListView *leftTableView() const { return m_leftList; }
    QListView *rightTableView() const { return m_rightList; }
    QListView *collectionView() const { return m_grid; }
    // Whether the open column shows its grid rather than its lists.
    bool showsGrid() const { return m_showsGrid; }
    QWidget *backGroundView() const { return m_dim; }
    double dimAlpha() const { return m_dimAlpha; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restColumns(int except);
    void openColumn(int column, bool grid);
    void openLists(QWidget *host);
    void openGrid(QWidget *host);
    QListView *makeView(QWidget *host, const QString &name, const QString &accessibleName,
                        ChartMenuRows *rows);
    void close();
    void confiMenuWithSelectRow(int row, int leftOrRight);
    void animateList(int toHeight);
    void animateGrid(int toHeight);
    bool keyPressed(QListView *view, const QKeyEvent *key);
    void animateDim(bool on);
    void placeOpenParts();
    int columnWidth() const;

    QPoint m_origin;
    int m_menuHeight;
    bool m_fullWidth;
    qint64 m_numOfMenu = 0;
    qint64 m_currentSelectedMenudIndex = -1;
    bool m_show = false;
    qint64 m_leftSelectedRow = 0;
    QColor m_textColor = Qt::black;
    QColor m_indicatorColor = Qt::black;
    QColor m_separatorColor = Qt::black;
    ChartDropDownMenuDataSource *m_dataSource = nullptr;
    ChartDropDownMenuDelegate *m_delegate = nullptr;

    QList<ChartMenuColumn *> m_columns;
    QPointer<QWidget> m_dim;
    double m_dimAlpha = 0;
    QPointer<QListView> m_leftList;
    QPointer<QListView> m_rightList;
    QPointer<QListView> m_grid;
    ChartMenuRows *m_rows = nullptr;
    ChartMenuRows *m_rightRows = nullptr;
    ChartMenuRows *m_gridRows = nullptr;
    bool m_hasRight = false;
    bool m_showsGrid = false;
    QVariantAnimation *m_listAnimation = nullptr;
    QVariantAnimation *m_gridAnimation = nullptr;
    QVariantAnimation *m_dimAnimation = nullptr;
};

// One column of the bar: its background, title and triangle (rotated by `angle`, 0 pointing down).
class ChartMenuColumn : public QWidget {
    Q_OBJECT
public:
    explicit ChartMenuColumn(QWidget *parent);

    void setTitle(const QString &title);
    QString title() const { return m_title; }
    // The title as drawn: cut to the column width less 25, its middle left out.
    QString shownTitle() const;
    QRect titleRect() const;
    QPointF indicatorCentre() const;

    QColor titleColor;
    QColor indicatorColor;
    QColor backgroundColor;
    double angle() const { return m_angle; }
    // Turns the triangle to `to` (0 or pi) over the menu's rotation time.
    void rotateTo(double to);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    double m_angle = 0;
    QVariantAnimation *m_rotation = nullptr;
};
