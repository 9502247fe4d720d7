#include "ShellState.h"

#include "AnswerCache.h"
#include "HeldChanges.h"
#include "KeyboardAvoidance.h"
#include "NotificationCenter.h"
#include "OverlayRegistry.h"
#include "ScreenFactory.h"
#include "Session.h"
#include "SettingsStore.h"
#include "TestHooks.h"

namespace ShellState {

void resetForTests() {
    AnswerCache::instance().resetForTests();
    HeldChanges::instance().resetForTests();
    OverlayRegistry::instance().resetForTests();
    KeyboardAvoidance::setEnabled(false);
    KeyboardAvoidance::setToolbarEnabled(false);
    NotificationCenter::removeAllObservers();
    Session::instance().resetForTests();
    ScreenFactory::reset();
    SettingsStore::reset();
    TestHooks::reset();
}

} // namespace ShellState
