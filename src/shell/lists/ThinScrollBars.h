#pragma once

#include "DesktopForm.h"

#include <QProxyStyle>

class QAbstractScrollArea;
class QScrollBar;

// The scroll bars of a phone-sized window: a thin rounded knob over the list's edge, taking no
// room from the rows and showing no arrows, as a phone's lists do. A window at least
// PhoneWidthBelow wide keeps the style's desktop bars. The window calls follow() as its width
// changes; scroll areas shown later in it take the bars it chose.
class ThinScrollBars : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int PhoneWidthBelow = DesktopForm::MinWidth;
    static constexpr int Thickness = 6;
    static constexpr int KnobMinLength = 24;

    // Thin bars for every scroll area of `window` while it is narrower than PhoneWidthBelow, the
    // desktop's otherwise.
    static void follow(QWidget *window);
    static bool isThin(const QScrollBar *bar);

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;

private:
    ThinScrollBars();
    static ThinScrollBars *shared();
    static void restyle(QAbstractScrollArea *area, bool thin);
    friend class ThinScrollBarsWatcher;
};
