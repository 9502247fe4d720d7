#include "ThinScrollBars.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionSlider>

namespace {
// On the window: the look its scroll areas take. On a bar: that it has the thin one.
constexpr char WindowKey[] = "thinScrollBars";
constexpr char BarKey[] = "thinScrollBar";
constexpr int KnobAlpha = 90;
constexpr int PressedKnobAlpha = 150;
} // namespace

// A scroll area appearing in a phone-sized window (a screen pushed, a list made later) takes the
// window's bars before its first paint.
class ThinScrollBarsWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            if (auto *area = qobject_cast<QAbstractScrollArea *>(watched)) {
                const QVariant thin = area->window()->property(WindowKey);
                if (thin.isValid())
                    ThinScrollBars::restyle(area, thin.toBool());
            }
        }
        return false;
    }
};

ThinScrollBars::ThinScrollBars()
    // A base of its own: a proxy takes over its base's proxy(), and the application's must stay
    // the application's.
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

ThinScrollBars *ThinScrollBars::shared() {
    static QPointer<ThinScrollBars> style;
    if (!style) {
        style = new ThinScrollBars;
        style->setParent(qApp);
        qApp->installEventFilter(new ThinScrollBarsWatcher(style));
    }
    return style;
}

bool ThinScrollBars::isThin(const QScrollBar *bar) {
    return bar && bar->property(BarKey).toBool();
}

void ThinScrollBars::follow(QWidget *window) {
    const bool thin = window->width() < PhoneWidthBelow;
    const QVariant chosen = window->property(WindowKey);
    if (chosen.isValid() && chosen.toBool() == thin)
        return;
    window->setProperty(WindowKey, thin);
    shared(); // the watcher, for the areas shown from now on
    const auto areas = window->findChildren<QAbstractScrollArea *>();
    for (QAbstractScrollArea *area : areas)
        restyle(area, thin);
}

void ThinScrollBars::restyle(QAbstractScrollArea *area, bool thin) {
    // A bar's new style changes its size hint, which has the area lay out again: the bar over
    // the rows or beside them, by the bar's style.
    for (QScrollBar *bar : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
        if (!bar || isThin(bar) == thin)
            continue;
        bar->setProperty(BarKey, thin);
        bar->setStyle(thin ? shared() : nullptr);
    }
}

int ThinScrollBars::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const {
    switch (metric) {
    case PM_ScrollBarExtent:
    case PM_ScrollView_ScrollBarOverlap:
        return Thickness;
    case PM_ScrollBarSliderMin:
        return KnobMinLength;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QRect ThinScrollBars::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                     SubControl part, const QWidget *widget) const {
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar)
        return QProxyStyle::subControlRect(control, option, part, widget);
    // No arrows: the groove is the whole bar and the knob's size tells how much is in view.
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? bar->rect.width() : bar->rect.height();
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    const qint64 page = qMax(0, bar->pageStep);
    int knob = range + page > 0 ? int(length * page / (range + page)) : length;
    knob = qBound(qMin(KnobMinLength, length), knob, length);
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                              length - knob, bar->upsideDown);
    int from = 0;
    int extent = 0;
    switch (part) {
    case SC_ScrollBarGroove:
        return bar->rect;
    case SC_ScrollBarSlider:
        from = start;
        extent = knob;
        break;
    case SC_ScrollBarSubPage:
        extent = start;
        break;
    case SC_ScrollBarAddPage:
        from = start + knob;
        extent = length - from;
        break;
    default:
        return {};
    }
    const QRect along = horizontal ? QRect(from, 0, extent, bar->rect.height())
                                   : QRect(0, from, bar->rect.width(), extent);
    return visualRect(bar->direction, bar->rect, along.translated(bar->rect.topLeft()));
}

void ThinScrollBars::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                        QPainter *painter, const QWidget *widget) const {
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (bar->maximum <= bar->minimum)
        return;
    const bool pressed =
        (bar->state & State_Sunken) && (bar->activeSubControls & SC_ScrollBarSlider);
    const QRect knob =
        subControlRect(control, bar, SC_ScrollBarSlider, widget).adjusted(1, 1, -1, -1);
    const qreal radius = qMin(knob.width(), knob.height()) / 2.0;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, pressed ? PressedKnobAlpha : KnobAlpha));
    painter->drawRoundedRect(knob, radius, radius);
    painter->restore();
}
