#include "ShellState.h"

#include "AnswerCache.h"
#include "DeviceProfile.h"
#include "HeldChanges.h"
#include "KeyboardAvoidance.h"
#include "NotificationCenter.h"
#include "OverlayRegistry.h"
#include "ScreenFactory.h"
#include "Session.h"
#include "SettingsStore.h"
#include "TestHooks.h"

#include <QList>

namespace ShellState {

namespace {
QList<std::function<void()>> &featureResets() {
    static QList<std::function<void()>> resets;
    return resets;
}
} // namespace

void addReset(std::function<void()> reset) {
    featureResets().append(std::move(reset));
}

void resetForTests() {
    for (const std::function<void()> &reset : std::as_const(featureResets()))
        reset();
    AnswerCache::instance().resetForTests();
    HeldChanges::instance().resetForTests();
    OverlayRegistry::instance().resetForTests();
    DeviceProfile::setCurrent(DeviceProfile::standard());
    KeyboardAvoidance::setEnabled(false);
    KeyboardAvoidance::setToolbarEnabled(false);
    NotificationCenter::removeAllObservers();
    Session::instance().resetForTests();
    ScreenFactory::reset();
    SettingsStore::reset();
    TestHooks::reset();
}

} // namespace ShellState
