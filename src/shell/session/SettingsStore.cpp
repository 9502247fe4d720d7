#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <utility>

Q_LOGGING_CATEGORY(lcSettings, "teacher.settings")

namespace {
constexpr QFileDevice::Permissions OwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OwnerOnlyDir =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

std::unique_ptr<QSettings> &store() {
    static std::unique_ptr<QSettings> instance;
    return instance;
}

bool syncPending = false;

// Holds the stand-in file while the real one is refused (see settings()).
std::unique_ptr<QTemporaryDir> &scratch() {
    static std::unique_ptr<QTemporaryDir> instance;
    return instance;
}

// Creates the folder (owner-only when it is ours to create) and an empty owner-only file, so
// neither ever exists with wider permissions. QSettings later replaces the file through a save
// file that copies the existing file's permissions, so they stay owner-only.
void prepareFile(const QString &path) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    QDir dir(folder);
    if (!dir.exists()) {
        QDir parent = QFileInfo(folder).absoluteDir();
        if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
            qCWarning(lcSettings) << "cannot create" << parent.absolutePath();
        if (!parent.mkdir(QFileInfo(folder).fileName(), OwnerOnlyDir))
            qCWarning(lcSettings) << "cannot create" << folder;
    }
    if (info.exists()) {
        if (info.isFile() && !info.isSymLink())
            QFile::setPermissions(path, OwnerOnlyFile);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnlyFile))
        qCWarning(lcSettings) << "cannot create" << path << file.errorString();
}
} // namespace

QString SettingsStore::filePath() {
    QString dir = qEnvironmentVariable("TEACHER_CLIENT_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config");
    if (qEnvironmentVariableIsEmpty("TEACHER_CLIENT_CONFIG_DIR"))
        dir += QStringLiteral("/teacher-client");
    return QDir(dir).filePath(QStringLiteral("teacher-client.ini"));
}

QSettings &SettingsStore::settings() {
    auto &s = store();
    if (!s) {
        const QString path = filePath();
        const QFileInfo info(path);
        // Whoever placed a link chose where the password would go, and whose file's permissions
        // would change; a named pipe or a device would block the start-up on its first read, and
        // a folder cannot hold settings. None is read or written.
        if (info.isSymLink() || (info.exists() && !info.isFile())) {
            qCWarning(lcSettings).noquote()
                << QStringLiteral("settings file %1 is %2; it is left alone and settings last "
                                  "for this run only")
                       .arg(path, info.isSymLink() ? QStringLiteral("a symbolic link")
                                                   : QStringLiteral("not a regular file"));
            scratch() = std::make_unique<QTemporaryDir>();
            s = std::make_unique<QSettings>(scratch()->filePath(info.fileName()),
                                            QSettings::IniFormat);
            return *s;
        }
        prepareFile(path);
        s = std::make_unique<QSettings>(path, QSettings::IniFormat);
        if (!QFileInfo(info.absolutePath()).isWritable())
            qCWarning(lcSettings) << "settings folder" << info.absolutePath()
                                  << "cannot be written; settings last for this run only";
        else if (s->status() != QSettings::NoError)
            qCWarning(lcSettings) << "settings file" << path << "is unreadable; starting empty";
    }
    return *s;
}

bool SettingsStore::flush() {
    syncPending = false;
    QSettings &s = settings();
    if (scratch())
        return false;
    s.sync();
    const QFileInfo info(s.fileName());
    if (info.isFile() && !info.isSymLink())
        QFile::setPermissions(s.fileName(), OwnerOnlyFile);
    if (s.status() == QSettings::AccessError) {
        if (!QFileInfo(info.absolutePath()).isWritable())
            qCWarning(lcSettings) << "cannot write into the settings folder" << info.absolutePath();
        else
            qCWarning(lcSettings) << "cannot write" << s.fileName();
        return false;
    }
    return true;
}

void SettingsStore::flushSoon() {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        flush();
        return;
    }
    if (std::exchange(syncPending, true))
        return;
    static QPointer<QCoreApplication> quitWatched;
    if (quitWatched != app) {
        quitWatched = app;
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
            if (syncPending)
                flush();
        });
    }
    QTimer::singleShot(SyncDelayMs, app, [] {
        if (syncPending)
            flush();
    });
}

void SettingsStore::reset() {
    if (syncPending && store())
        flush();
    syncPending = false;
    store().reset();
    scratch().reset();
}
