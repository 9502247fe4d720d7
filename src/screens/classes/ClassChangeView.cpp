#include "ClassChangeView.h"

#include "CheckMarkRowDelegate.h"
#include "DimmedBackdrop.h"
#include "FrameStyle.h"

#include <QEvent>
#include <QListView>
#include <QPropertyAnimation>
#include <QStandardItemModel>

namespace {
constexpr int SeparatorGrey = 220;

// A row: white, the title 20 in from the left; the marked one in the highlight colour with the
// check 25 short of the right edge.
CheckMarkRowDelegate::Look rowLook() {
    CheckMarkRowDelegate::Look look;
    look.rowHeight = ClassChangeView::RowHeight;
    look.highlightColor = QColor(FrameStyle::HighlightColor);
    look.checkFromRight = 25 + 20;
    return look;
}
} // namespace

qint64 ClassChangeViewDataSource::menuNumberOfRows(ClassChangeView *) {
    return 0;
}

ClassChangeView::ClassChangeView(QPoint origin, QWidget *superView)
    : QObject(superView)
    , m_supView(superView)
    , m_origin(origin) {
    m_backGroundView =
        new DimmedBackdrop(tr("关闭班级列表"), DimmedBackdrop::TapOn::Release, superView);
    connect(m_backGroundView, &DimmedBackdrop::tapped, this, &ClassChangeView::backgroundTapped);
    m_backGroundView->hide();
    m_rows = new QStandardItemModel(this);
    {
        QHash<int, QByteArray> names = m_rows->roleNames();
        names.insert(CheckMarkRoles::names());
        m_rows->setItemRoleNames(names);
    }
    m_leftTableView = new QListView(superView);
    m_leftTableView->setObjectName(QStringLiteral("leftTableView"));
    m_leftTableView->setAccessibleName(tr("班级列表"));
    m_leftTableView->setModel(m_rows);
    m_rowCell = new CheckMarkRowDelegate(rowLook(), m_leftTableView);
    m_rowCell->setSeparatorColor(QColor(SeparatorGrey, SeparatorGrey, SeparatorGrey));
    m_leftTableView->setItemDelegate(m_rowCell);
    m_leftTableView->setUniformItemSizes(true);
    m_leftTableView->setFrameShape(QFrame::NoFrame);
    m_leftTableView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_leftTableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_leftTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_leftTableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_leftTableView->setGeometry(origin.x(), origin.y(), 0, 0);
    m_leftTableView->hide();
    superView->installEventFilter(this);
    // A click chooses; Enter on the keyboard too. Styles that activate on a single click send
    // both: the panel is closed by the first, which makes the second a no-op.
    connect(m_leftTableView, &QListView::clicked, this,
            [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index.row()); });
    connect(m_leftTableView, &QListView::activated, this,
            [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index.row()); });
}

ClassChangeView::~ClassChangeView() {
    for (const QPointer<QAbstractAnimation> &animation : std::as_const(m_running)) {
        if (animation)
            animation->stop();
    }
}

void ClassChangeView::setTextColor(const QColor &color) {
    m_rowCell->setTextColor(color);
    m_leftTableView->viewport()->update();
}

void ClassChangeView::setDataSource(ClassChangeViewDataSource *source) {
    m_dataSource = source;
    m_dataSourceObject = dynamic_cast<QObject *>(source);
}

void ClassChangeView::setDelegate(ClassChangeViewDelegate *delegate) {
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
}

QWidget *ClassChangeView::backGroundView() const {
    return m_backGroundView;
}

int ClassChangeView::dimAlpha() const {
    return m_backGroundView->alpha();
}

void ClassChangeView::reloadData() {
    m_rows->clear();
    ClassChangeViewDataSource *source = m_dataSourceObject ? m_dataSource : nullptr;
    const qint64 count = source ? qMax<qint64>(0, source->menuNumberOfRows(this)) : 0;
    for (qint64 row = 0; row < count; ++row) {
        auto *item = new QStandardItem(source->menuTitleForRowAtIndexPath(this, {row}));
        item->setData(row == m_leftSelectedRow, CheckMarkRoles::MarkedRole);
        item->setAccessibleText(item->text());
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_rows->appendRow(item);
    }
}

void ClassChangeView::reloadTitles() {
    m_backGroundView->setAccessibleName(tr("关闭班级列表"));
    m_leftTableView->setAccessibleName(tr("班级列表"));
    ClassChangeViewDataSource *source = m_dataSourceObject ? m_dataSource : nullptr;
    if (!source)
        return;
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        QStandardItem *item = m_rows->item(row);
        item->setText(source->menuTitleForRowAtIndexPath(this, {row}));
        item->setAccessibleText(item->text());
    }
}

int ClassChangeView::openHeight() const {
    if (!m_supView)
        return 0;
    const int screenHeight = m_supView->window()->height();
    return int(qMin<qint64>(qint64(m_rows->rowCount()) * RowHeight,
                            qMax(0, screenHeight - ScreenReserve)));
}

void ClassChangeView::animateSelectView() {
    reloadData();
    if (m_isShow)
        return;
    animateBackGroundView(true);
    animateLeftTableView(true);
    m_isShow = true;
    // Arrow keys and Enter choose from the keyboard, starting at the marked row.
    m_leftTableView->setCurrentIndex(m_rows->index(int(m_leftSelectedRow), 0));
    m_leftTableView->clearSelection();
    m_leftTableView->setFocus(Qt::PopupFocusReason);
}

void ClassChangeView::backgroundTapped() {
    if (!m_isShow)
        return;
    animateBackGroundView(false);
    animateLeftTableView(false);
    m_isShow = false;
}

void ClassChangeView::tableViewDidSelectRowAtIndexPath(int row) {
    // The rows can be gone or fewer by the time a click lands (a reload under an open panel).
    if (!m_isShow || row < 0 || row >= m_rows->rowCount())
        return;
    m_leftSelectedRow = row;
    for (int r = 0; r < m_rows->rowCount(); ++r)
        m_rows->item(r)->setData(r == row, CheckMarkRoles::MarkedRole);
    if (m_delegate && m_delegateObject)
        m_delegate->menuDidSelectRowAtIndexPath(this, {row});
    backgroundTapped();
    m_leftTableView->clearSelection();
}

QRect ClassChangeView::listRect(int height) const {
    return {0, dimTopLeft().y(), m_supView ? m_supView->width() : 0, height};
}

QPoint ClassChangeView::dimTopLeft() const {
    return {m_origin.x(), m_supView ? m_supView->contentsMargins().top() : 0};
}

bool ClassChangeView::eventFilter(QObject *watched, QEvent *event) {
    // Qt sends a resize also when the view's contents margins change (the offline bar).
    if (watched == m_supView && event->type() == QEvent::Resize && m_leftTableView->isVisible()) {
        // A slide under way ends where it was going, then everything takes the new size.
        finishAnimations();
        if (m_isShow) {
            m_backGroundView->setTopLeft(dimTopLeft());
            m_leftTableView->setGeometry(listRect(openHeight()));
        }
    }
    return QObject::eventFilter(watched, event);
}

void ClassChangeView::animateBackGroundView(bool show, std::function<void()> complete) {
    if (!m_supView)
        return;
    if (show) {
        m_backGroundView->setTopLeft(dimTopLeft());
        m_backGroundView->setAlpha(0);
        m_backGroundView->show();
        m_backGroundView->raise();
        m_leftTableView->raise();
        runAnimation(m_backGroundView, "alpha", DimmedAlpha, std::move(complete));
    } else {
        QPointer<QWidget> dimming = m_backGroundView;
        runAnimation(m_backGroundView, "alpha", 0, [dimming, complete = std::move(complete)] {
            if (dimming)
                dimming->hide();
            if (complete)
                complete();
        });
    }
}

void ClassChangeView::animateLeftTableView(bool show, std::function<void()> complete) {
    if (!m_supView)
        return;
    if (show) {
        m_leftTableView->setGeometry(listRect(0));
        m_leftTableView->show();
        m_leftTableView->raise();
        runAnimation(m_leftTableView, "geometry", listRect(openHeight()), std::move(complete));
    } else {
        QPointer<QListView> list = m_leftTableView;
        runAnimation(m_leftTableView, "geometry", listRect(0),
                     [list, complete = std::move(complete)] {
                         if (list)
                             list->hide();
                         if (complete)
                             complete();
                     });
    }
}

void ClassChangeView::runAnimation(QObject *target, const QByteArray &property, const QVariant &to,
                                   std::function<void()> complete) {
    // A new animation of the same property takes over from the running one.
    for (const QPointer<QAbstractAnimation> &running : std::as_const(m_running)) {
        auto *animation = qobject_cast<QPropertyAnimation *>(running.data());
        if (animation && animation->targetObject() == target &&
            animation->propertyName() == property)
            animation->stop();
    }
    m_running.removeIf([](const QPointer<QAbstractAnimation> &a) {
        return !a || a->state() == QAbstractAnimation::Stopped;
    });
    auto *animation = new QPropertyAnimation(target, property, this);
    animation->setDuration(AnimationMs);
    animation->setEndValue(to);
    connect(animation, &QAbstractAnimation::finished, this, [complete = std::move(complete)] {
        if (complete)
            complete();
    });
    m_running << animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ClassChangeView::finishAnimations() {
    const auto running = m_running;
    for (const QPointer<QAbstractAnimation> &animation : running) {
        if (animation && animation->state() == QAbstractAnimation::Running)
            animation->setCurrentTime(animation->totalDuration());
    }
}
