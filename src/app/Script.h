#pragma once

#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A driver script: plain text, one step a line, blank lines and '#' comments allowed. The whole
// text is checked before anything runs, so a typo on line 40 never leaves the client half-driven.
struct ScriptStep {
    enum class Verb {
        Tap,
        Type,
        Key,
        Press,
        Row,
        Back,
        Tab,
        Tick,
        Wait,
        Await,
        Shot,
        Dump,
        Expect
    };

    int line = 0;   // counted from 1
    QString source; // the line as written, for failure messages
    Verb verb = Verb::Wait;
    QString name;    // widget object name (tap, type, row, expect)
    QString text;    // typed or expected text, a key (key, press), or a file name (shot, dump)
    int number = -1; // row, tab, seconds ticked, or the part tapped (-1: the widget itself)

    // Steps that change what is on screen; a wait measures from the last of them.
    bool isAction() const;
};

struct ParsedScript {
    QList<ScriptStep> steps;
    QStringList errors; // "line N: why", one per refused line
};

namespace Script {
// Refused scripts exit with this code (EX_USAGE), before any step runs.
constexpr int UsageExitCode = 64;
// An unreadable script file (EX_NOINPUT).
constexpr int NoInputExitCode = 66;

ParsedScript parse(const QString &text);
// A key as scripts name it ("Return", "Escape", "Ctrl+F", "F5", "1"); nothing for an unknown name.
std::optional<QKeyCombination> keyOf(const QString &name);
QStringList verbs();
} // namespace Script
