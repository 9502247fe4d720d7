#pragma once

#include <QSettings>
#include <QString>

// The client's one settings file (INI, human-readable): the remembered login, the first-launch
// flag and the refresh controls' last-update time. It lives in TEACHER_CLIENT_CONFIG_DIR when that
// is set (tests), else in the user's config folder. It holds a password, so the folder is created
// owner-only and the file is born owner-only, before anything is written into it.
// A sync rewrites the whole file and waits for the disk: a write the teacher does not wait on
// asks for flushSoon(), so a burst of them costs one sync, after the burst.
class SettingsStore {
public:
    static QSettings &settings();
    static QString filePath();
    // Writes pending changes to disk now and keeps the file private: after a write whose caller
    // must know it reached the disk, and at quit. False when the file could not be written (the
    // values stay in memory for this run).
    static bool flush();
    // After a write nobody waits on: flush() once, SyncDelayMs later, however many writes come
    // meanwhile, and at the latest when the application quits. Without an application, at once.
    static void flushSoon();
    static constexpr int SyncDelayMs = 1000;
    // Forgets the open store so the next settings() reopens the file (tests switch folders).
    static void reset();
};
