#pragma once

#include <QSettings>
#include <QString>

// The client's one settings file (INI, human-readable): the remembered login, the first-launch
// flag and the refresh controls' last-update time. It lives in TEACHER_CLIENT_CONFIG_DIR when that
// is set (tests), else in the user's config folder. It holds a password, so the folder is created
// owner-only and the file is born owner-only, before anything is written into it.
class SettingsStore {
public:
    static QSettings &settings();
    static QString filePath();
    // Writes pending changes to disk and keeps the file private. Call after every write.
    // False when the file could not be written (the values stay in memory for this run).
    static bool flush();
    // Forgets the open store so the next settings() reopens the file (tests switch folders).
    static void reset();
};
