#include "ServiceTypes.h"

#include <QtGlobal>

QString ServiceBaseURL()
{
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
