#include "ListActions.h"

#include "NavigationController.h"

#include <QAbstractItemView>
#include <QKeyEvent>

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
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
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
    bool holderIsStill() const {
        for (QWidget *w = m_view->parentWidget(); w; w = w->parentWidget()) {
            if (auto *stack = qobject_cast<NavigationController *>(w)) {
                const ViewController *top = stack->topViewController();
                return !stack->isTransitioning() && top && top->isAncestorOf(m_view);
            }
        }
        return true;
    }

    void openOnce(const QModelIndex &index) {
        if (index.isValid() && holderIsStill())
            m_open(index);
    }

    QAbstractItemView *m_view;
    std::function<void(const QModelIndex &)> m_open;
};

} // namespace

void ListActions::openRowsOnce(QAbstractItemView *view,
                               std::function<void(const QModelIndex &)> open) {
    if (view && open)
        new RowOpener(view, std::move(open));
}
