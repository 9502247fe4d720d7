#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <memory>

namespace {
std::unique_ptr<QSettings> &store()
{
    static std::unique_ptr<QSettings> instance;
    return instance;
}

void makePrivate(const QString &path)
{
    if (QFile::exists(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
} // namespace

QString SettingsStore::filePath()
{
    QString dir = qEnvironmentVariable("TEACHER_CLIENT_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config/teacher-client");
    return QDir(dir).filePath(QStringLiteral("teacher-client.ini"));
}

QSettings &SettingsStore::settings()
{
    auto &s = store();
    if (!s) {
        const QString path = filePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        s = std::make_unique<QSettings>(path, QSettings::IniFormat);
        makePrivate(path);
    }
    return *s;
}

void SettingsStore::flush()
{
    QSettings &s = settings();
    s.sync();
    makePrivate(s.fileName());
}

void SettingsStore::reset()
{
    store().reset();
}
