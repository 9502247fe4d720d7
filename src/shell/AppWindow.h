#pragma once

#include <QPointer>
#include <QWidget>

class ViewController;

// The application's one window. Its root screen fills it; presented screens lie above the root
// in the same content layer; overlays (progress, toasts, alerts) are children of the window above
// that layer.
class AppWindow : public QWidget {
    Q_OBJECT
public:
    explicit AppWindow(QWidget *parent = nullptr);
    ~AppWindow() override;

    // The newest live window, or nullptr.
    static AppWindow *instance();

    // The old root and every screen presented over it go off screen, then are deleted.
    void setRootViewController(ViewController *controller);
    ViewController *rootViewController() const;
    // Where presented screens are placed.
    QWidget *contentLayer() const { return m_content; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_content;
    QPointer<ViewController> m_root;
};
