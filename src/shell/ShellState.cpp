#include "ShellState.h"

#include "KeyboardAvoidance.h"
#include "NotificationCenter.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "ScreenFactory.h"
#include "Session.h"
#include "SettingsStore.h"
#include "TickSource.h"
#include "Toast.h"

namespace ShellState {

void resetForTests() {
    ProgressHud::dismiss();
    Toast::hide();
    HostedOverlay::deleteAll();
    OverlayHost::setHost(nullptr);
    KeyboardAvoidance::setEnabled(false);
    KeyboardAvoidance::setToolbarEnabled(false);
    NotificationCenter::removeAllObservers();
    Session::instance().resetForTests();
    ScreenFactory::reset();
    SettingsStore::reset();
    TickSource::setManual(false);
}

} // namespace ShellState
