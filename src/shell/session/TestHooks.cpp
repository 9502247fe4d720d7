#include "TestHooks.h"

#include "ImageLoader.h"
#include "OverlayHost.h"
#include "RefreshHeader.h"
#include "TickSource.h"

namespace TestHooks {

void setManualTicks(bool manual) {
    TickSource::setManual(manual);
}

void setRefreshClock(std::function<QDateTime()> clock) {
    RefreshHeader::setClock(std::move(clock));
}

void setImageDownloadDeadlineMs(int ms) {
    ImageLoader::setDownloadDeadlineMs(ms);
}

void setOverlayHost(QWidget *host) {
    OverlayHost::setHost(host);
}

void reset() {
    setManualTicks(false);
    setRefreshClock({});
    setImageDownloadDeadlineMs(ImageLoader::DefaultDownloadDeadlineMs);
    setOverlayHost(nullptr);
}

} // namespace TestHooks
