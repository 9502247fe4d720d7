#include "AnswerHandling.h"

#include "LoadMoreFooter.h"
#include "OfflineBar.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "Toast.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAnswer, "teacher.answer")

namespace AnswerHandling {

void showRefusal(const BaseRsp &answer) {
    if (answer.msg && !answer.msg->isEmpty())
        Toast::show(*answer.msg);
}

namespace {
QString shown(const QString &source) {
    return QCoreApplication::translate("AnswerHandling", source.toUtf8().constData());
}
} // namespace

void showNoNetwork() {
    Toast::show(shown(NoNetworkText));
}

void showFailure(const QString &failureText) {
    Toast::show(
        shown(BaseAFHttpManager::isTooLargeFailure(failureText) ? TooLargeText : NoNetworkText));
}

bool Common::settle() {
    if (dismissHud)
        ProgressHud::dismiss();
    if (!screenAlive()) {
        qCDebug(lcAnswer) << "answer arrived after its screen was closed; ignored";
        return false;
    }
    if (header)
        header->endRefreshing();
    if (footer)
        footer->endRefreshing();
    return true;
}

void Common::showWhereFrom(const std::optional<KeptDelivery> &kept) const {
    if (!screen)
        return;
    if (kept && !kept->ahead)
        OfflineBar::showOn(screen, kept->receivedAt);
    else if (kept && OfflineBar::isOld(kept->receivedAt, QDateTime::currentDateTime()))
        OfflineBar::showOn(screen, kept->receivedAt, OfflineBar::Refreshing);
    else if (!kept)
        OfflineBar::hideOn(screen);
}

} // namespace AnswerHandling
