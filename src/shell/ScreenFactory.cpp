#include "ScreenFactory.h"

#include "FrameLog.h"

#include <QHash>

namespace {
QHash<QString, ScreenFactory::Maker> &makers() {
    static QHash<QString, ScreenFactory::Maker> table;
    return table;
}
} // namespace

void ScreenFactory::registerFactory(const QString &className, Maker maker) {
    if (className.isEmpty() || !maker) {
        qCWarning(lcFrame) << "ignored a screen maker without a name or a function";
        return;
    }
    makers().insert(className, std::move(maker));
}

bool ScreenFactory::isRegistered(const QString &className) {
    return makers().contains(className);
}

ViewController *ScreenFactory::create(const QString &className) {
    const auto it = makers().constFind(className);
    if (it == makers().constEnd()) {
        qCWarning(lcFrame) << "no screen registered under" << className;
        return nullptr;
    }
    // Copy: the maker may register or remove makers itself.
    const Maker maker = it.value();
    return maker();
}

void ScreenFactory::unregisterFactory(const QString &className) {
    makers().remove(className);
}

void ScreenFactory::clear() {
    makers().clear();
}
