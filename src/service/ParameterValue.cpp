#include "ParameterValue.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {
const ParameterDictionary &emptyDictionary() {
    static const ParameterDictionary empty;
    return empty;
}

const std::vector<ParameterValue> &emptyItems() {
    static const std::vector<ParameterValue> empty;
    return empty;
}
} // namespace

bool codePointLess(const QString &a, const QString &b) {
    // UTF-16 units compare like code points except that surrogates (U+D800..U+DFFF), which
    // stand for code points above U+FFFF, must rank above U+E000..U+FFFF. Shifting the two
    // ranges past each other at the first difference fixes that without decoding (sorting keys
    // runs on every request).
    const auto rank = [](char16_t unit) -> int {
        if (unit >= 0xE000)
            return unit - 0x800;
        if (unit >= 0xD800)
            return unit + 0x2000;
        return unit;
    };
    const qsizetype common = std::min(a.size(), b.size());
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        if (pa[i] != pb[i])
            return rank(pa[i].unicode()) < rank(pb[i].unicode());
    }
    return a.size() < b.size();
}

ParameterValue::ParameterValue(const ParameterDictionary &dictionary)
    : m_type(Type::Dictionary)
    , m_dictionary(std::make_shared<const ParameterDictionary>(dictionary)) {}

ParameterValue ParameterValue::list(std::vector<ParameterValue> items) {
    ParameterValue v;
    v.m_type = Type::List;
    v.m_items = std::make_shared<const std::vector<ParameterValue>>(std::move(items));
    return v;
}

ParameterValue ParameterValue::set(std::vector<ParameterValue> items) {
    ParameterValue v = list(std::move(items));
    v.m_type = Type::Set;
    return v;
}

ParameterValue ParameterValue::fromJson(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return ParameterValue(value.toBool());
    case QJsonValue::Double: {
        // toInteger() is exact for every integer the parser kept as one (beyond 2^53 too) and
        // gives 0 for reals and out-of-range numbers.
        const qint64 integer = value.toInteger();
        const double real = value.toDouble();
        if (integer != 0 || real == 0)
            return ParameterValue(integer);
        return ParameterValue(real);
    }
    case QJsonValue::String:
        return ParameterValue(value.toString());
    case QJsonValue::Array: {
        std::vector<ParameterValue> items;
        const QJsonArray array = value.toArray();
        items.reserve(size_t(array.size()));
        for (const QJsonValue &element : array)
            items.push_back(fromJson(element));
        return list(std::move(items));
    }
    case QJsonValue::Object:
        return ParameterValue(ParameterDictionary::fromJson(value.toObject()));
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return ParameterValue();
}

const ParameterDictionary &ParameterValue::dictionary() const {
    return m_dictionary ? *m_dictionary : emptyDictionary();
}

const std::vector<ParameterValue> &ParameterValue::items() const {
    return m_items ? *m_items : emptyItems();
}

QString ParameterValue::textForm() const {
    switch (m_type) {
    case Type::Text:
        return m_text;
    case Type::Integer:
        return QString::number(m_integer);
    case Type::Boolean:
        return m_integer ? QStringLiteral("1") : QStringLiteral("0");
    case Type::Real:
        return QString::number(m_real, 'g', QLocale::FloatingPointShortest);
    default:
        return QString();
    }
}

QJsonValue ParameterValue::toJson() const {
    switch (m_type) {
    case Type::Null:
        return QJsonValue(QJsonValue::Null);
    case Type::Text:
        return m_text;
    case Type::Integer:
        return QJsonValue(m_integer);
    case Type::Real:
        return m_real;
    case Type::Boolean:
        return boolean();
    case Type::Dictionary:
        return dictionary().toJson();
    case Type::List:
    case Type::Set: {
        QJsonArray array;
        for (const ParameterValue &item : items())
            array.append(item.toJson());
        return array;
    }
    }
    return QJsonValue();
}

bool operator==(const ParameterValue &a, const ParameterValue &b) {
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case ParameterValue::Type::Null:
        return true;
    case ParameterValue::Type::Text:
        return a.m_text == b.m_text;
    case ParameterValue::Type::Integer:
    case ParameterValue::Type::Boolean:
        return a.m_integer == b.m_integer;
    case ParameterValue::Type::Real:
        return a.m_real == b.m_real;
    case ParameterValue::Type::Dictionary:
        return a.dictionary() == b.dictionary();
    case ParameterValue::Type::List:
    case ParameterValue::Type::Set:
        return a.items() == b.items();
    }
    return false;
}

ParameterDictionary::ParameterDictionary(std::initializer_list<Entry> entries) {
    for (const Entry &e : entries)
        insert(e.first, e.second);
}

void ParameterDictionary::insert(const QString &key, ParameterValue value) {
    for (Entry &e : m_entries) {
        if (e.first == key) {
            e.second = std::move(value);
            return;
        }
    }
    m_entries.emplace_back(key, std::move(value));
}

void ParameterDictionary::remove(const QString &key) {
    std::erase_if(m_entries, [&](const Entry &e) { return e.first == key; });
}

const ParameterValue *ParameterDictionary::find(const QString &key) const {
    for (const Entry &e : m_entries) {
        if (e.first == key)
            return &e.second;
    }
    return nullptr;
}

ParameterValue ParameterDictionary::value(const QString &key) const {
    const ParameterValue *v = find(key);
    return v ? *v : ParameterValue();
}

std::vector<QString> ParameterDictionary::sortedKeys() const {
    std::vector<QString> keys;
    keys.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        keys.push_back(e.first);
    std::sort(keys.begin(), keys.end(), codePointLess);
    return keys;
}

QJsonObject ParameterDictionary::toJson() const {
    QJsonObject object;
    for (const Entry &e : m_entries)
        object.insert(e.first, e.second.toJson());
    return object;
}

ParameterDictionary ParameterDictionary::fromJson(const QJsonObject &object) {
    ParameterDictionary dictionary;
    dictionary.m_entries.reserve(size_t(object.size()));
    for (auto it = object.begin(); it != object.end(); ++it)
        dictionary.m_entries.emplace_back(it.key(), ParameterValue::fromJson(it.value()));
    return dictionary;
}

bool operator==(const ParameterDictionary &a, const ParameterDictionary &b) {
    if (a.size() != b.size())
        return false;
    for (const auto &e : a.m_entries) {
        const ParameterValue *other = b.find(e.first);
        if (!other || !(*other == e.second))
            return false;
    }
    return true;
}
