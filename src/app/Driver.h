#pragma once

#include "Script.h"

#include <QString>

#include <memory>
#include <optional>

class QCommandLineParser;
class QObject;
class QTemporaryDir;

// The command-line side of the scripted driver: --script FILE and --tour DIR [--user N
// --password P --code C]. Everything that can be checked without a window (the script's text, the
// tour's folder) is checked while the options are read, so a bad run stops before the client
// starts.
class Driver {
public:
    static constexpr int CannotCreateExitCode = 73; // EX_CANTCREAT: the tour's folder

    Driver();
    ~Driver();

    static void addOptions(QCommandLineParser *parser);
    // Nothing to go on with, or the exit code (after a line on stderr).
    std::optional<int> readOptions(const QCommandLineParser &parser);
    bool isSet() const { return !m_scriptFile.isEmpty() || !m_tourDir.isEmpty(); }

    // Runs the script or the tour on the application's window; the application exits with its
    // code when it ends.
    void start();

private:
    QString m_scriptFile;
    ParsedScript m_script;
    QString m_tourDir;
    QString m_user;
    QString m_password;
    QString m_code;
    std::unique_ptr<QTemporaryDir> m_tourSettings;
    std::unique_ptr<QObject> m_running;
};
