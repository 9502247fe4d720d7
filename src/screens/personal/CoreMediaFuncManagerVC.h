#pragma once

#include "ViewController.h"

#include <QUrl>

#include <functional>

// Places telephone calls. The call is handed to whatever the desktop opens "tel:" links with; a
// hidden, empty controller then stays attached to the screen that placed the call until that
// screen goes off screen, and detaches itself.
class CoreMediaFuncManagerVC : public ViewController {
    Q_OBJECT
public:
    // How a URL is opened; QDesktopServices::openUrl unless a test says otherwise.
    using UrlOpener = std::function<bool(const QUrl &url)>;

    explicit CoreMediaFuncManagerVC(QWidget *parent = nullptr);
    ~CoreMediaFuncManagerVC() override;

    // Calls "tel:<number>" from `host`. When nothing can open it, runs `failBlock` (when given)
    // and gives false.
    static bool call(const QString &number, ViewController *host,
                     std::function<void()> failBlock = {});

    // Null puts QDesktopServices::openUrl back.
    static void setUrlOpener(UrlOpener opener);

protected:
    void viewDidDisappear(bool animated) override;
};
