#pragma once

// Helpers shared by the record and mapping tests: walking every record type the catalogue
// reaches, and holding type-erased records.

#include "KeyValueMapping.h"
#include "TeacherRequestManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace RecordTestHelpers {

// Every record type reached from the catalogue through bases, nested records and list elements.
inline QList<const RecordType *> allRecordTypes() {
    QList<const RecordType *> types;
    std::function<void(const RecordType *)> visit = [&](const RecordType *type) {
        if (!type || types.contains(type))
            return;
        types.append(type);
        visit(type->base);
        for (const FieldInfo *field : type->allFields()) {
            if (field->elementType)
                visit(field->elementType());
        }
    };
    for (const ServiceOperation &op : TeacherRequestManager::operations()) {
        visit(op.requestType);
        visit(op.responseType);
    }
    return types;
}

inline const RecordType *recordTypeNamed(QStringView name) {
    for (const RecordType *type : allRecordTypes()) {
        if (QLatin1StringView(type->name) == name)
            return type;
    }
    return nullptr;
}

struct RecordDeleter {
    const RecordType *type;
    void operator()(void *record) const { type->destroy(record); }
};
using RecordHandle = std::unique_ptr<void, RecordDeleter>;

inline RecordHandle makeRecord(const RecordType &type) {
    return RecordHandle(type.create(), RecordDeleter{&type});
}

// A JSON value written as JSON source, any kind at the top level.
inline QJsonValue jsonValue(const QByteArray &source) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson("[" + source + "]", &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON %s: %s", source.constData(), qPrintable(error.errorString()));
    return doc.array().at(0);
}

inline QJsonObject jsonObject(const QByteArray &source) {
    return jsonValue(source).toObject();
}

// Absent and present-but-empty read differently in failure messages.
inline QString text(const std::optional<QString> &value) {
    return value ? *value : QStringLiteral("<absent>");
}

} // namespace RecordTestHelpers
