#pragma once

#include "Script.h"

#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QCommandLineParser;
class QObject;
class QTemporaryDir;
class ScriptRunner;

// The command-line side of the scripted driver: --script FILE [--timings FILE] and --tour DIR
// [--user N --password P --code C], and what a scripted run (or any other) may set about the
// window and the undo window of held changes: --size WxH and --hold-ms MS. Everything that can be
// checked without a window (the script's text, the tour's folder, the numbers) is checked while
// the options are read, so a bad run stops before the client starts.
class Driver {
public:
    static constexpr int CannotCreateExitCode = 73; // EX_CANTCREAT: the tour's folder

    Driver();
    ~Driver();

    // The window sizes --size takes: from a small phone to a large monitor.
    static constexpr QSize SmallestWindow{320, 480};
    static constexpr QSize LargestWindow{3840, 2400};

    static void addOptions(QCommandLineParser *parser);
    // "1280x800" within SmallestWindow..LargestWindow; nothing for anything else.
    static std::optional<QSize> windowSizeOf(const QString &text);
    // Nothing to go on with, or the exit code (after a line on stderr).
    std::optional<int> readOptions(const QCommandLineParser &parser);
    bool isSet() const { return !m_scriptFile.isEmpty() || !m_tourDir.isEmpty(); }
    // --size: the window's size instead of the device's; the device still decides the look.
    std::optional<QSize> windowSize() const { return m_windowSize; }
    // --hold-ms: how long a held change waits (HeldChanges::setHoldMs).
    std::optional<int> holdMs() const { return m_holdMs; }

    // Runs the script or the tour on the application's window; the application exits with its
    // code when it ends.
    void start();

private:
    // The script's timings as --timings writes them; an error in the teacher's words or empty.
    static QString writeTimings(const ScriptRunner &runner, const QString &path);

    QString m_scriptFile;
    QString m_timingsFile;
    ParsedScript m_script;
    QString m_tourDir;
    QString m_user;
    QString m_password;
    QString m_code;
    std::optional<QSize> m_windowSize;
    std::optional<int> m_holdMs;
    std::unique_ptr<QTemporaryDir> m_tourSettings;
    std::unique_ptr<QObject> m_running;
};
