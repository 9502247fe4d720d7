#include "CoreMediaFuncManagerVC.h"

#include "ShellState.h"

#include <QDesktopServices>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCall, "teacher.call")

namespace {
CoreMediaFuncManagerVC::UrlOpener &opener() {
    static CoreMediaFuncManagerVC::UrlOpener instance;
    // A test's opener goes at the next test: the desktop's handler again.
    static const ShellState::Reset reset([] { instance = nullptr; });
    return instance;
}
} // namespace

CoreMediaFuncManagerVC::CoreMediaFuncManagerVC(QWidget *parent)
    : ViewController(parent) {
    setObjectName(QStringLiteral("callController"));
    setAccessibleName(tr("电话"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

CoreMediaFuncManagerVC::~CoreMediaFuncManagerVC() {
    qCDebug(lcCall).noquote() << QStringLiteral("CoreMediaFuncManagerVC被释放");
}

void CoreMediaFuncManagerVC::setUrlOpener(UrlOpener opener) {
    ::opener() = std::move(opener);
}

bool CoreMediaFuncManagerVC::call(const QString &number, ViewController *host,
                                  std::function<void()> failBlock) {
    // "tel:" and the number as its path: after "tel://" the number would be a host, and an
    // all-digit one reads as an IPv4 address (88886060 becomes 5.76.75.44).
    const QUrl url(QStringLiteral("tel:") + number);
    const UrlOpener &open = ::opener();
    const bool opened = url.isValid() && (open ? open(url) : QDesktopServices::openUrl(url));
    if (!opened) {
        qCDebug(lcCall) << "no handler placed the call" << url.toString();
        if (failBlock)
            failBlock();
        return false;
    }
    if (host) {
        auto *controller = new CoreMediaFuncManagerVC;
        host->addChildViewController(controller);
        // Nothing to see: it only lives as long as the calling screen is on screen.
        controller->setGeometry(0, 0, 0, 0);
    }
    return true;
}

void CoreMediaFuncManagerVC::viewDidDisappear(bool animated) {
    ViewController::viewDidDisappear(animated);
    removeFromParentViewController();
    deleteLater();
}
