#pragma once

// Decoding an application/x-www-form-urlencoded request body.

#include "ServiceModule.h"

#include <QByteArray>
#include <QString>

#include <optional>

class FormBody {
public:
    // Pairs joined by '&', name and value split at the first '='; '+' stands for a space and
    // %XX for a byte; the bytes of every name and value must be UTF-8. A name without '=' has
    // the empty value. Gives nothing, and the reason in *error, for a malformed escape, bytes
    // that are not UTF-8, an empty name, or a name given twice.
    static std::optional<FormFields> decode(const QByteArray &body, QString *error);

    // One name or value: '+' and %XX undone, then UTF-8 checked.
    static std::optional<QString> decodeComponent(QByteArrayView component);
};
