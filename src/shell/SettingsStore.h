#pragma once

#include <QSettings>
#include <QString>

// The client's one settings file (INI, human-readable): the remembered login, the first-launch
// flag and the refresh controls' last-update time. It lives in TEACHER_CLIENT_CONFIG_DIR when that
// is set (tests), else in the user's config folder, and is readable by its owner only because it
// holds a password.
class SettingsStore {
public:
    static QSettings &settings();
    static QString filePath();
    // Writes pending changes to disk and keeps the file private. Call after every write.
    static void flush();
    // Forgets the open store so the next settings() reopens the file (tests switch folders).
    static void reset();
};
