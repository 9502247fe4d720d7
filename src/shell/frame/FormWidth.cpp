#include "FormWidth.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>

namespace FormWidth {

namespace {
class Keeper : public QObject {
public:
    Keeper(QWidget *screen, int maxWidth)
        : QObject(screen)
        , m_screen(screen)
        , m_maxWidth(maxWidth)
        , m_margins(screen->layout()->contentsMargins()) {
        screen->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_screen && event->type() == QEvent::Resize)
            apply();
        return false;
    }

private:
    void apply() {
        QLayout *layout = m_screen->layout();
        if (!layout)
            return;
        const int spare = (m_screen->width() - m_maxWidth) / 2;
        layout->setContentsMargins(qMax(m_margins.left(), spare), m_margins.top(),
                                   qMax(m_margins.right(), spare), m_margins.bottom());
    }

    QWidget *m_screen;
    int m_maxWidth;
    QMargins m_margins;
};
} // namespace

void keep(QWidget *screen, int maxWidth) {
    if (screen && screen->layout())
        new Keeper(screen, maxWidth);
}

} // namespace FormWidth
