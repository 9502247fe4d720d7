#pragma once

// Tests name operations the way the client does and take the path from the catalogue, so a path
// is spelled in one place only (the catalogue's own test checks the spelling).

#include "TeacherRequestManager.h"

#include <QString>

namespace TestCatalogue {

// The path of a catalogue operation ("ForgetVerification" -> "Mobile/GetPasswordForget").
inline QString pathOf(QStringView operationName) {
    const ServiceOperation *operation = TeacherRequestManager::operation(operationName);
    if (!operation)
        qFatal("no catalogue operation named %s", qPrintable(operationName.toString()));
    return QString::fromLatin1(operation->path);
}

inline QString pathOf(const char *operationName) {
    return pathOf(QString::fromLatin1(operationName));
}

} // namespace TestCatalogue
