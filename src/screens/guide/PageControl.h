#pragma once

#include <QColor>
#include <QWidget>

// A row of dots telling which page of a paged view shows: the current dot dark grey, the others
// light grey. Display only; the paged view sets the current page.
class PageControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int currentPage READ currentPage WRITE setCurrentPage NOTIFY currentPageChanged)
public:
    static constexpr int DotDiameter = 7;
    static constexpr int DotSpacing = 9;

    explicit PageControl(QWidget *parent = nullptr);

    void setNumberOfPages(int count);
    int numberOfPages() const { return m_count; }
    // Clamped to the pages there are.
    void setCurrentPage(int page);
    int currentPage() const { return m_current; }

    QColor currentPageIndicatorTintColor() const { return m_currentColor; }
    QColor pageIndicatorTintColor() const { return m_otherColor; }
    // The colour dot `index` is drawn in.
    QColor dotColor(int index) const;

    QSize sizeHint() const override;

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // A screen reader hears which page shows: the dots say nothing by themselves.
    void nameThePage();

    int m_count = 0;
    int m_current = 0;
    QColor m_currentColor{Qt::darkGray};
    QColor m_otherColor{Qt::lightGray};
};
