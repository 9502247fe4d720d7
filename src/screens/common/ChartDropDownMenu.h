#pragma once

#include "ChartDropDownMenuDataSource.h"
#include "ChartDropDownMenuDelegate.h"
#include "ChartIndexPath.h"
#include "ChartMenuColumn.h"

#include <QColor>
#include <QList>
#include <QListView>
#include <QPointer>
#include <QWidget>

class ChartMenuRows;
class CheckMarkRowDelegate;
class DimmedBackdrop;

class QKeyEvent;
class QModelIndex;
class QVariantAnimation;

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
    // A choice list's width as a desktop popup.
    static constexpr int PopupWidth = 240;
    static const QColor HighlightColor;
    static const QColor RestingColor;
    static const QColor OpenColor;
    static const QColor LeftListColor;
    static constexpr int GridMostItems = 10;

    // The bar at `origin` of `parent`, `height` high, `width` wide; with no width it spans the
    // parent and follows its resizes (the book list), else the owner sizes it (the reports). The
    // origin counts from the top of the parent's contents: a strip the screen puts across its top
    // (the offline bar) pushes the bar and its open lists down with the rest.
    ChartDropDownMenu(QPoint origin, int height, QWidget *parent, int width = 0);
    ~ChartDropDownMenu() override;

    void setTextColor(const QColor &color);
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
    QWidget *backGroundView() const;
    double dimAlpha() const { return m_dimAlpha; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A language change: the names and the titles, which the data source gives in the new one.
    void changeEvent(QEvent *event) override;

private:
    void applyTexts();
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
    QPoint placedOrigin() const;
    int columnWidth() const;
    // The lists' rows take the colours the owner set.
    void colourRows();

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
    QPointer<DimmedBackdrop> m_dim;
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
