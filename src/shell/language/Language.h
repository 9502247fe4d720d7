#pragma once

#include <QLocale>
#include <QString>

#include <optional>

class QTranslator;

// The language the program speaks. Its texts are written in Chinese; English comes from the
// translation built into it (translations/teacher-client_en.ts), and Qt's own dialogs speak the
// same language through Qt's translations. This is the one place that installs translators:
// screens only use tr() and redo their texts on QEvent::LanguageChange.
class Language {
public:
    // What the teacher chose in 系统设置; System follows the desktop's language.
    enum class Choice { System, Chinese, English };
    enum class Spoken { Chinese, English };

    static inline const QString SettingsKey = QStringLiteral("ui/language");

    // The remembered choice; System when nothing, or something unknown, is stored.
    static Choice chosen();
    // Remembers the choice and applies it at once (unless this run has an override).
    static void choose(Choice choice);

    // --lang: this run speaks `spoken` whatever is chosen, and nothing is remembered.
    static void setOverride(std::optional<Spoken> spoken);
    static std::optional<Spoken> fromCode(const QString &code); // "zh" or "en"
    static QString code(Spoken spoken);

    // zh* is Chinese; every other language gets English.
    static Spoken forLocale(const QLocale &locale);
    // The language in force: the override, else the choice, else the system's.
    static Spoken spoken();

    // Installs the translators of the language in force and sets the default locale, so
    // numbers and dates follow it. Every widget gets QEvent::LanguageChange when the language
    // changes; applying the language already in force does nothing.
    static void apply();
    // The program's own translator while English is spoken, else nullptr (checks ask it).
    static const QTranslator *programTranslator();
};
