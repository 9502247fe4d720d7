#pragma once

#include <QPointer>
#include <QWidget>

// Finds the widget that the overlays (progress indicator, toast, alert, action sheet) live in:
// the host set explicitly (tests, tools), else the application's one window (AppWindow), else the
// active or the first visible top-level window. Nothing at all is a valid answer: the toast and
// the indicator then do nothing, alerts and sheets become windows of their own.
class OverlayHost {
public:
    static QWidget *host();
    // Overrides the lookup; nullptr goes back to finding the window.
    static void setHost(QWidget *host);
};

// What every overlay shares: it lives in the host OverlayHost finds, is re-placed whenever the
// host changes size, and keeps its layer above the screens pushed later. Layers, bottom to top:
// toasts, then alerts and action sheets, then the progress indicator. A toast is only news and
// must never cover a question's buttons; the indicator says the client is busy, and while it
// blocks, nothing beneath it, a question included, may be touched. Within a layer the overlay
// shown last is on top.
class HostedOverlay : public QWidget {
    Q_OBJECT
public:
    enum class Layer { Toast, Modal, Hud };

    ~HostedOverlay() override;

    Layer layer() const { return m_layer; }
    // The host's overlays from bottom to top (tests).
    static QList<HostedOverlay *> stackIn(const QWidget *host);
    // Deletes every overlay there is (process-wide reset).
    static void deleteAll();

protected:
    explicit HostedOverlay(Layer layer);

    // Moves into `host` (nullptr: a window of its own), follows its size and takes its place in
    // the layer order. Calls placeInHost() before returning.
    void attachTo(QWidget *host);
    // Puts the overlay where it belongs in the host's current size.
    virtual void placeInHost() = 0;
    // The host was resized: placeInHost() unless the overlay does something else.
    virtual void hostResized() { placeInHost(); }
    // Shows the overlay in its layer.
    void showInLayer();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void restack(QWidget *host);

    Layer m_layer;
    QPointer<QWidget> m_watched;
};
