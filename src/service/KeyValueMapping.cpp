#include "KeyValueMapping.h"

#include <QJsonDocument>
#include <QLocale>

#include <cmath>
#include <limits>

std::vector<const FieldInfo *> RecordType::allFields() const {
    std::vector<const FieldInfo *> fields;
    if (base)
        fields = base->allFields();
    for (const FieldInfo &info : ownFields)
        fields.push_back(&info);
    return fields;
}

const FieldInfo *RecordType::field(QStringView fieldName) const {
    for (const FieldInfo &info : ownFields) {
        if (info.name == fieldName)
            return &info;
    }
    return base ? base->field(fieldName) : nullptr;
}

std::vector<std::pair<QString, const RecordType *>> RecordType::objectClassInArray() const {
    std::vector<std::pair<QString, const RecordType *>> table;
    for (const FieldInfo *info : allFields()) {
        if (info->kind == FieldKind::RecordArray)
            table.emplace_back(info->name, info->elementType());
    }
    return table;
}

namespace {

// A text "reads as a number" when all of it is one decimal number: optional sign, digits with an
// optional fraction, optional exponent. Whitespace or other characters anywhere make it no number.
struct TextNumber {
    bool ok = false;
    bool integral = false;
    qint64 integer = 0;
    double real = 0;
};

TextNumber readTextNumber(const QString &text) {
    TextNumber n;
    const qsizetype size = text.size();
    qsizetype i = 0;
    if (i < size && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < size && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    qsizetype digits = i - digitsStart;
    bool integral = true;
    if (i < size && text[i] == u'.') {
        integral = false;
        ++i;
        const qsizetype fractionStart = i;
        while (i < size && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return n;
    if (i < size && (text[i] == u'e' || text[i] == u'E')) {
        integral = false;
        ++i;
        if (i < size && (text[i] == u'-' || text[i] == u'+'))
            ++i;
        const qsizetype exponentStart = i;
        while (i < size && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        if (i == exponentStart)
            return n;
    }
    if (i != size)
        return n;

    if (integral) {
        bool ok = false;
        const qint64 v = text.toLongLong(&ok);
        if (ok) {
            n.ok = n.integral = true;
            n.integer = v;
            n.real = double(v);
            return n;
        }
    }
    bool ok = false;
    const double d = QLocale::c().toDouble(text, &ok);
    // Out-of-range texts ("1e999") are not numbers we can hold.
    if (!ok || !std::isfinite(d))
        return n;
    n.ok = true;
    n.real = d;
    return n;
}

// Truncates toward zero; nothing when the value does not fit in 64 bits.
std::optional<qint64> truncated(double d) {
    if (!std::isfinite(d))
        return std::nullopt;
    const double t = std::trunc(d);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (t >= 9223372036854775808.0 || t < -9223372036854775808.0)
        return std::nullopt;
    return qint64(t);
}

} // namespace

namespace MappingRules {

std::optional<qint64> toInt64(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Double: {
        // Integers beyond 2^53 must not pass through a double; toInteger() is 0 for anything
        // that is not a whole number in range, and truncation handles those.
        const qint64 integer = value.toInteger();
        if (integer != 0)
            return integer;
        return truncated(value.toDouble());
    }
    case QJsonValue::Bool:
        return value.toBool() ? 1 : 0;
    case QJsonValue::String: {
        const TextNumber n = readTextNumber(value.toString());
        if (!n.ok)
            return std::nullopt;
        if (n.integral)
            return n.integer;
        return truncated(n.real);
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> toBool(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Double:
        // Every non-zero integer is a non-zero double as well.
        return value.toDouble() != 0;
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::String: {
        const QString text = value.toString();
        if (text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        const TextNumber n = readTextNumber(text);
        if (!n.ok)
            return std::nullopt;
        return n.integral ? n.integer != 0 : n.real != 0;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QString> toText(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        const qint64 integer = value.toInteger();
        const double real = value.toDouble();
        if (integer != 0 || real == 0)
            return QString::number(integer);
        return QString::number(real, 'g', QLocale::FloatingPointShortest);
    }
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return std::nullopt;
    }
}

} // namespace MappingRules

namespace KeyValueMapping {

QJsonValue parseEmbeddedJson(const QJsonValue &value) {
    if (!value.isString())
        return value;
    const QByteArray bytes = value.toString().toUtf8();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return value;
    if (document.isObject())
        return document.object();
    if (document.isArray())
        return document.array();
    return value;
}

ParameterDictionary keyValues(const void *record, const RecordType &type) {
    ParameterDictionary dictionary;
    type.forEachField(record, [&](const FieldInfo &info, const void *owner) {
        if (std::optional<ParameterValue> v = info.parameter(owner))
            dictionary.insert(info.name, std::move(*v));
    });
    return dictionary;
}

void fillFromJson(void *record, const RecordType &type, const QJsonValue &value) {
    const QJsonValue parsed = parseEmbeddedJson(value);
    if (!parsed.isObject())
        return;
    const QJsonObject object = parsed.toObject();
    type.forEachField(record, [&](const FieldInfo &info, void *owner) {
        const QJsonValue v = object.value(info.name);
        if (v.isUndefined() || v.isNull())
            return;
        info.assign(owner, v);
    });
}

} // namespace KeyValueMapping
