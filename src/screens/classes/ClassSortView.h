#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

class ClassSortView;
class DropDownBarColumn;

// What the sort bar asks of its owner. A method left as it is counts as not answered.
class ClassSortViewDataSource {
public:
    virtual ~ClassSortViewDataSource() = default;
    virtual int numberOfColumnsInMenu(ClassSortView *menu);
    virtual QString menuTitleForColumn(ClassSortView *menu, int column) = 0;
    virtual void menuDidSelectColumn(ClassSortView *menu, int column) = 0;
};

// A bar of equal columns, each a title with a small downward triangle. A tap selects the column
// under it and tells the data source, unless it is the selected one already; no column is
// selected at the start, so the first tap always tells.
class ClassSortView : public QWidget {
    Q_OBJECT
public:
    static constexpr int NormalGrey = 244;
    static constexpr int SelectedGrey = 238;

    // Two thirds of `screenWidth` wide at `origin`, `height` high.
    ClassSortView(QPoint origin, int height, int screenWidth, QWidget *parent = nullptr);

    // Held weakly: `source` must be a QObject; once it is destroyed the bar asks nothing. Setting
    // it builds the columns.
    void setDataSource(ClassSortViewDataSource *source);
    ClassSortViewDataSource *dataSource() const;

    void setTextColor(const QColor &color);
    void setIndicatorColor(const QColor &color);
    void setSeparatorColor(const QColor &color);
    QColor textColor() const { return m_textColor; }
    QColor indicatorColor() const { return m_indicatorColor; }
    QColor separatorColor() const { return m_separatorColor; }

    int numOfMenu() const { return m_numOfMenu; }
    int currentSelectedMenudIndex() const { return m_currentSelectedMenudIndex; }
    // The column widgets, left to right (named "column0", "column1", ...).
    QList<QWidget *> columns() const;
    // The column's title as drawn (cut to fit) and its colours.
    QString columnTitle(int column) const;
    QColor columnBackground(int column) const;
    QColor columnTitleColor(int column) const;

    // A tap at horizontal position `x` of the bar.
    void menuTapped(qreal x);
    // Marks `column` selected (-1: none) without telling the data source: the sort was chosen
    // elsewhere (the desktop form's table header).
    void showSelected(int column);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A language change: the name, and the titles the data source gives in the new language.
    void changeEvent(QEvent *event) override;

private:
    void buildColumns();
    void layoutColumns();
    // Every column but `kept` in the normal look.
    void restyleColumnsBut(int kept);
    DropDownBarColumn *column(int index) const;

    ClassSortViewDataSource *m_dataSource = nullptr;
    QPointer<QObject> m_dataSourceObject;
    QList<DropDownBarColumn *> m_columns;
    int m_numOfMenu = 0;
    int m_currentSelectedMenudIndex = -1;
    QColor m_textColor = Qt::black;
    QColor m_indicatorColor = Qt::black;
    QColor m_separatorColor = Qt::lightGray;
};
