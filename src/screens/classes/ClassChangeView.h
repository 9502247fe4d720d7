#pragma once

#include "ClassChangeIndexPath.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class CheckMarkRowDelegate;
class ClassChangeView;
class DimmedBackdrop;
class QAbstractAnimation;
class QListView;
class QStandardItemModel;
class QWidget;

// What the switcher asks of its owner. A method left as it is counts as not answered.
class ClassChangeViewDataSource {
public:
    virtual ~ClassChangeViewDataSource() = default;
    virtual qint64 menuNumberOfRows(ClassChangeView *menu);
    virtual QString menuTitleForRowAtIndexPath(ClassChangeView *menu,
                                               const ClassChangeIndexPath &indexPath) = 0;
};

class ClassChangeViewDelegate {
public:
    virtual ~ClassChangeViewDelegate() = default;
    virtual void menuDidSelectRowAtIndexPath(ClassChangeView *menu,
                                             const ClassChangeIndexPath &indexPath) = 0;
};

// A drop-down list over a view: the view dims and a one-column list drops from the top of its
// contents (below a strip such as the offline bar), the marked row in the highlight colour with a
// check, as wide as the view whenever it is resized. A choice tells the delegate and closes; a tap
// on the dimming closes without a word. It knows nothing of what the rows are.
class ClassChangeView : public QObject {
    Q_OBJECT
public:
    static constexpr int RowHeight = 38;
    static constexpr int AnimationMs = 200;
    static constexpr int ScreenReserve = 64; // the list stops this far short of the screen height
    static constexpr int DimmedAlpha = 77;   // black at 30 %

    // The widgets are made as children of `superView`, which also owns this object.
    ClassChangeView(QPoint origin, QWidget *superView);
    ~ClassChangeView() override;

    // Data source and delegate are held weakly: each must be a QObject.
    void setDataSource(ClassChangeViewDataSource *source);
    void setDelegate(ClassChangeViewDelegate *delegate);
    void setTextColor(const QColor &color);

    // Reloads the rows; opens the panel when it is closed.
    void animateSelectView();
    void backgroundTapped();
    // A row chosen: marked, told, closed. A row that is not in the list is ignored.
    void tableViewDidSelectRowAtIndexPath(int row);
    void animateBackGroundView(bool show, std::function<void()> complete = {});
    void animateLeftTableView(bool show, std::function<void()> complete = {});

    bool isShow() const { return m_isShow; }
    qint64 leftSelectedRow() const { return m_leftSelectedRow; }
    QWidget *supView() const { return m_supView; }
    QWidget *backGroundView() const;
    QListView *leftTableView() const { return m_leftTableView; }
    // The dimming's current opacity, 0 to 255.
    int dimAlpha() const;
    // The list height the panel opens to for the current rows.
    int openHeight() const;
    // The language changed: the names, and the rows' titles asked again where they are.
    void reloadTitles();
    // Completes running animations at once (their end states and completions).
    void finishAnimations();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where the list lies at `height`, and where the dimming starts.
    QRect listRect(int height) const;
    QPoint dimTopLeft() const;
    void reloadData();
    void runAnimation(QObject *target, const QByteArray &property, const QVariant &to,
                      std::function<void()> complete);

    QPointer<QWidget> m_supView;
    QPoint m_origin;
    DimmedBackdrop *m_backGroundView = nullptr;
    QListView *m_leftTableView = nullptr;
    CheckMarkRowDelegate *m_rowCell = nullptr;
    QStandardItemModel *m_rows = nullptr;
    qint64 m_leftSelectedRow = 0;
    bool m_isShow = false;
    ClassChangeViewDataSource *m_dataSource = nullptr;
    QPointer<QObject> m_dataSourceObject;
    ClassChangeViewDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    QList<QPointer<QAbstractAnimation>> m_running;
};
