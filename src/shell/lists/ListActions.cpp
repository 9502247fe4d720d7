#include "ListActions.h"

#include "NavigationController.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPointer>

namespace {

// Lives on the view: a click or Enter/Return on a row becomes one call of `open`.
class RowOpener : public QObject {
public:
    RowOpener(QAbstractItemView *view, std::function<void(const QModelIndex &)> open)
        : QObject(view)
        , m_view(view)
        , m_open(std::move(open)) {
        // Only clicked(): activated() comes on top of it with a double click, and with every
        // click on styles that activate on a single one.
        connect(view, &QAbstractItemView::clicked, this,
                [this](const QModelIndex &index) { openOnce(index); });
        view->installEventFilter(this);
        // While a detail pane lies beside the list, moving the current row (Up, Down) shows that
        // row's detail. The model may be set after this; the view's selection model follows it.
        followCurrent();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // A model set after this object: its selection model is followed from the first touch
        // (never on other events: the view may be part-destroyed by then).
        const QEvent::Type type = event->type();
        if (watched == m_view &&
            (type == QEvent::FocusIn || type == QEvent::KeyPress ||
             type == QEvent::MouseButtonPress) &&
            m_view->selectionModel() != m_followed)
            followCurrent();
        if (watched == m_view && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                openOnce(m_view->currentIndex());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The screen the row opens goes on top at once: from then on, or while the stack slides, the
    // rest of the same action (the double click's second half, a repeated key) opens nothing.
    NavigationController *holder() const {
        for (QWidget *w = m_view->parentWidget(); w; w = w->parentWidget()) {
            if (auto *stack = qobject_cast<NavigationController *>(w))
                return stack;
        }
        return nullptr;
    }

    bool holderIsStill() const {
        const NavigationController *stack = holder();
        if (!stack)
            return true;
        const ViewController *top = stack->topViewController();
        return !stack->isTransitioning() && top && top->isAncestorOf(m_view);
    }

    bool paneBeside() const {
        const NavigationController *stack = holder();
        return stack && stack->detailPane() && !stack->detailPane()->isHidden() &&
               stack->detailSource() && stack->detailSource()->isAncestorOf(m_view);
    }

    void followCurrent() {
        if (m_followed)
            disconnect(m_followed, nullptr, this, nullptr);
        m_followed = m_view->selectionModel();
        if (m_followed) {
            connect(m_followed, &QItemSelectionModel::currentChanged, this,
                    [this](const QModelIndex &current) {
                        if (paneBeside())
                            openOnce(current);
                    });
        }
    }

    void openOnce(const QModelIndex &index) {
        // A click moves the current row first: the pane shows that row already.
        if (!index.isValid() || !holderIsStill() || (paneBeside() && index == m_inPane))
            return;
        m_open(index);
        m_inPane = paneBeside() ? QPersistentModelIndex(index) : QPersistentModelIndex();
    }

    QAbstractItemView *m_view;
    std::function<void(const QModelIndex &)> m_open;
    QPointer<QItemSelectionModel> m_followed;
    QPersistentModelIndex m_inPane;
};

} // namespace

void ListActions::openRowsOnce(QAbstractItemView *view,
                               std::function<void(const QModelIndex &)> open) {
    if (view && open)
        new RowOpener(view, std::move(open));
}
