#include "ServiceTypes.h"

#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

QString ServiceBaseURL() {
    // Read once: the whole program talks to one service.
    static const QString url = [] {
        QString value = qEnvironmentVariable("TEACHER_SERVICE_URL").trimmed();
        if (value.isEmpty())
            return QStringLiteral("http://127.0.0.1:8780/");
        if (!value.endsWith(u'/'))
            value += u'/';
        return value;
    }();
    return url;
}

QString ClientCacheFolder() {
    QString dir = qEnvironmentVariable("TEACHER_CLIENT_CACHE_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty())
        dir = QDir::temp().filePath(QStringLiteral("teacher-client-cache"));
    return dir;
}
