#include "ShellState.h"

#include "BaseAFHttpManager.h"
#include "ImageLoader.h"
#include "KeyboardAvoidance.h"
#include "LoginState.h"
#include "NotificationCenter.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "ScreenFactory.h"
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
    ImageLoader::resetInstance();
    BaseAFHttpManager::resetForTests();
    ScreenFactory::reset();
    LoginState::reset();
    SettingsStore::reset();
    TickSource::setManual(false);
}

} // namespace ShellState
