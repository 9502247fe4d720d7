#include "ScreenFactory.h"

#include "Assets.h"

#include <QMetaObject>
#include <QObject>
#include <QSet>

namespace {
struct Registration {
    QList<ScreenFactory::Tab> tabs;
    const QMetaObject *loginClass = nullptr;
    ScreenFactory::Maker loginMaker;
    ScreenFactory::Maker firstLaunchMaker;
};

Registration &registration() {
    static Registration r;
    return r;
}

bool isInstanceOf(const QObject *object, const QMetaObject *cls) {
    return object && cls && object->metaObject()->inherits(cls);
}
} // namespace

void ScreenFactory::setTabs(const QList<Tab> &tabs) {
    registration().tabs = tabs;
}

const QList<ScreenFactory::Tab> &ScreenFactory::tabs() {
    return registration().tabs;
}

void ScreenFactory::setLoginStack(const QMetaObject *rootClass, Maker maker) {
    registration().loginClass = rootClass;
    registration().loginMaker = std::move(maker);
}

void ScreenFactory::setFirstLaunch(Maker maker) {
    registration().firstLaunchMaker = std::move(maker);
}

ViewController *ScreenFactory::makeFirstLaunch() {
    const Maker maker = registration().firstLaunchMaker;
    return maker ? maker() : nullptr;
}

ViewController *ScreenFactory::makeLoginStack() {
    // Copy: the maker may register again itself.
    const Maker maker = registration().loginMaker;
    return maker ? maker() : nullptr;
}

ViewController *ScreenFactory::makeTab(int index) {
    if (index < 0 || index >= tabs().size())
        return nullptr;
    const Maker maker = tabs().at(index).maker;
    return maker ? maker() : nullptr;
}

bool ScreenFactory::isTabRoot(const QObject *screen) {
    const auto &list = tabs();
    return std::any_of(list.cbegin(), list.cend(),
                       [screen](const Tab &tab) { return isInstanceOf(screen, tab.rootClass); });
}

bool ScreenFactory::isLoginRoot(const QObject *screen) {
    return isInstanceOf(screen, registration().loginClass);
}

QStringList ScreenFactory::problems() {
    QStringList found;
    const Registration &r = registration();
    if (!r.loginClass || !r.loginMaker)
        found << QStringLiteral("no login stack is registered");
    if (!r.firstLaunchMaker)
        found << QStringLiteral("no first-launch screen is registered");
    if (r.tabs.isEmpty())
        found << QStringLiteral("no tab is registered");
    QSet<const QMetaObject *> classes;
    for (int i = 0; i < r.tabs.size(); ++i) {
        const Tab &tab = r.tabs.at(i);
        const QString where = QStringLiteral("tab %1 (%2)").arg(i + 1).arg(tab.title);
        if (!tab.rootClass || !tab.maker)
            found << where + QStringLiteral(": no root class or maker");
        else if (classes.contains(tab.rootClass))
            found << where + QStringLiteral(": %1 is already a tab root")
                                 .arg(QLatin1String(tab.rootClass->className()));
        classes.insert(tab.rootClass);
        if (tab.title.isEmpty())
            found << where + QStringLiteral(": no title");
        for (const QString &icon : {tab.normalIcon, tab.selectedIcon}) {
            if (!Assets::exists(icon))
                found << where + QStringLiteral(": no icon asset \"%1\"").arg(icon);
        }
    }
    return found;
}

void ScreenFactory::reset() {
    registration() = Registration();
}
