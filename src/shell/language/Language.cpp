#include "Language.h"

#include "SettingsStore.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QTranslator>

Q_LOGGING_CATEGORY(lcLanguage, "teacher.language")

namespace {

std::optional<Language::Spoken> runOverride;
// What apply() installed last; nothing before the first apply(), which is Chinese with no
// translator: the texts' own language.
std::optional<Language::Spoken> applied;
QTranslator *ours = nullptr;
QTranslator *qts = nullptr;

void drop(QTranslator *&translator) {
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

// A translation that cannot be loaded leaves those texts in their source language: the
// program still works, and the log says why.
QTranslator *load(const QString &name, const QString &folder) {
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(name, folder)) {
        qCWarning(lcLanguage) << "no translation" << name << "in" << folder;
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace

Language::Choice Language::chosen() {
    const QString stored = SettingsStore::settings().value(SettingsKey).toString();
    if (stored == code(Spoken::Chinese))
        return Choice::Chinese;
    if (stored == code(Spoken::English))
        return Choice::English;
    return Choice::System;
}

void Language::choose(Choice choice) {
    QSettings &settings = SettingsStore::settings();
    switch (choice) {
    case Choice::System:
        settings.remove(SettingsKey);
        break;
    case Choice::Chinese:
        settings.setValue(SettingsKey, code(Spoken::Chinese));
        break;
    case Choice::English:
        settings.setValue(SettingsKey, code(Spoken::English));
        break;
    }
    SettingsStore::flushSoon();
    apply();
}

void Language::setOverride(std::optional<Spoken> spoken) {
    runOverride = spoken;
}

std::optional<Language::Spoken> Language::fromCode(const QString &code) {
    if (code == QLatin1String("zh"))
        return Spoken::Chinese;
    if (code == QLatin1String("en"))
        return Spoken::English;
    return std::nullopt;
}

QString Language::code(Spoken spoken) {
    return spoken == Spoken::Chinese ? QStringLiteral("zh") : QStringLiteral("en");
}

Language::Spoken Language::forLocale(const QLocale &locale) {
    return locale.language() == QLocale::Chinese ? Spoken::Chinese : Spoken::English;
}

Language::Spoken Language::spoken() {
    if (runOverride)
        return *runOverride;
    switch (chosen()) {
    case Choice::Chinese:
        return Spoken::Chinese;
    case Choice::English:
        return Spoken::English;
    case Choice::System:
        break;
    }
    return forLocale(QLocale::system());
}

const QTranslator *Language::programTranslator() {
    return ours;
}

void Language::apply() {
    if (!QCoreApplication::instance())
        return;
    const Spoken now = spoken();
    if (applied == now)
        return;
    applied = now;
    drop(ours);
    drop(qts);
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (now == Spoken::English) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ours = load(QStringLiteral("teacher-client_en"), QStringLiteral(":/i18n"));
        // Qt's own texts are written in English: nothing to install for them.
    } else {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        qts = load(QStringLiteral("qt_zh_CN"), qtFolder);
    }
    // Going back to the source language installs nothing, so nothing would tell the widgets:
    // removing a translator does, but only when there was one.
    if (!ours && !qts) {
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    }
}
