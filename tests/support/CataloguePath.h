#pragma once

// Tests name operations the way the client does and take the path from the catalogue, so a path
// is spelled in one place only (the catalogue's own test checks the spelling).

#include "TeacherRequestManager.h"

#include <QString>

namespace TestCatalogue {

// The path of a catalogue operation (Operation::ForgetVerification -> "Mobile/GetPasswordForget").
inline QString pathOf(Operation operation) {
    return QString::fromLatin1(TeacherRequestManager::operation(operation).path);
}

} // namespace TestCatalogue
