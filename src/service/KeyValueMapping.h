#pragma once

// Mapping between typed records and the service's JSON / parameter dictionaries.
//
// A record is a plain struct. Its field table is written once, in the record's .cpp:
//
//     const RecordType &BookListModel::recordType()
//     {
//         static const RecordType type = RecordTypeBuilder<BookListModel>("BookListModel")
//             .field<&BookListModel::BookId>("BookId")
//             .field<&BookListModel::BookName>("BookName")
//             .build();
//         return type;
//     }
//
// The kind of each field follows from its member type:
//     qint64                              int64
//     bool                                bool
//     std::optional<QString>              string (absent by default)
//     std::optional<R>                    record of type R (R has recordType())
//     std::optional<RecordArray<R>>       array of records of type R (objectClassInArray entry)
//     std::optional<QJsonArray>           plain array
// A response record derives from BaseRsp and names it with .extends<BaseRsp>(); the base's
// fields then take part in every conversion like the record's own.

#include "ParameterValue.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>
#include <type_traits>
#include <vector>

enum class FieldKind { Int64, Bool, String, Record, RecordArray, PlainArray };

class RecordType;

// A list of records as an answer gives it. An element that arrived as a nested JSON array keeps
// its slot (holding a default record) and its converted contents in nestedLists, so length and
// order are those of the answer and nothing is lost.
template <class T> class RecordArray : public QList<T> {
public:
    using QList<T>::QList;
    RecordArray() = default;
    RecordArray(const QList<T> &list)
        : QList<T>(list) {}

    struct Nested;
    std::vector<Nested> nestedLists;

    const RecordArray *nestedAt(qsizetype index) const {
        for (const Nested &n : nestedLists) {
            if (n.index == index)
                return &n.list;
        }
        return nullptr;
    }
};

template <class T> struct RecordArray<T>::Nested {
    qsizetype index = 0;
    RecordArray<T> list;
};

// One entry of a record's field table. The function pointers take the record as void*; they are
// instantiated per (record type, member) so they always see the right type.
struct FieldInfo {
    QString name;
    FieldKind kind = FieldKind::Int64;
    const RecordType *(*elementType)() = nullptr; // Record and RecordArray kinds

    // Sets the field from a present, non-null JSON value by the conversion rules.
    void (*assign)(void *record, const QJsonValue &value) = nullptr;
    // The field's parameter value; nothing when the field is absent.
    std::optional<ParameterValue> (*parameter)(const void *record) = nullptr;
};

class RecordType {
public:
    const char *name = "";
    const RecordType *base = nullptr;
    void *(*toBase)(void *) = nullptr;
    const void *(*toBaseConst)(const void *) = nullptr;
    std::vector<FieldInfo> ownFields;

    // For tools that work with records by name only (teacher-call).
    void *(*create)() = nullptr;
    void (*destroy)(void *) = nullptr;

    // Base fields first, then the type's own, in declared order.
    std::vector<const FieldInfo *> allFields() const;
    const FieldInfo *field(QStringView fieldName) const;
    // Array field name -> element record type, for the array-of-records fields.
    std::vector<std::pair<QString, const RecordType *>> objectClassInArray() const;

    // Walks base fields with the base subobject pointer, then own fields.
    template <class F> void forEachField(void *record, F &&f) const {
        if (base)
            base->forEachField(toBase(record), f);
        for (const FieldInfo &info : ownFields)
            f(info, record);
    }
    template <class F> void forEachField(const void *record, F &&f) const {
        if (base)
            base->forEachField(toBaseConst(record), f);
        for (const FieldInfo &info : ownFields)
            f(info, record);
    }
};

namespace KeyValueMapping {

// Record to parameter dictionary: int64 and bool fields always, the others when present.
ParameterDictionary keyValues(const void *record, const RecordType &type);
// JSON into a freshly made record. A JSON text is parsed first; a value that is not an object
// leaves every field at its default.
void fillFromJson(void *record, const RecordType &type, const QJsonValue &value);

// JSON value helpers shared by the mapping and its tools.
// A JSON text that parses as JSON becomes that value; anything else is returned unchanged.
QJsonValue parseEmbeddedJson(const QJsonValue &value);

template <class T> ParameterDictionary keyValues(const T &record) {
    return keyValues(&record, T::recordType());
}

// Given nothing, gives nothing; given a value, a record of T (all defaults for a non-object).
template <class T> std::optional<T> objectWithKeyValues(const std::optional<QJsonValue> &value) {
    if (!value)
        return std::nullopt;
    T record;
    fillFromJson(&record, T::recordType(), *value);
    return record;
}

// The same for a value that is known to be there.
template <class T> T recordFromJson(const QJsonValue &value) {
    T record;
    fillFromJson(&record, T::recordType(), value);
    return record;
}

// The record as a JSON object (keyValues written as JSON): what the development service answers
// and what teacher-call prints.
template <class T> QJsonObject toJsonObject(const T &record) {
    return keyValues(record).toJson();
}

} // namespace KeyValueMapping

// ---- conversion rules, one per kind (KeyValueMapping.cpp) ----
namespace MappingRules {
std::optional<qint64> toInt64(const QJsonValue &value);
std::optional<bool> toBool(const QJsonValue &value);
std::optional<QString> toText(const QJsonValue &value);
} // namespace MappingRules

// ---- field table construction ----
namespace MappingDetail {

template <class M> struct MemberKind;
template <> struct MemberKind<qint64> { static constexpr FieldKind kind = FieldKind::Int64; };
template <> struct MemberKind<bool> { static constexpr FieldKind kind = FieldKind::Bool; };
template <> struct MemberKind<std::optional<QString>> {
    static constexpr FieldKind kind = FieldKind::String;
};
template <> struct MemberKind<std::optional<QJsonArray>> {
    static constexpr FieldKind kind = FieldKind::PlainArray;
};
template <class R> struct MemberKind<std::optional<RecordArray<R>>> {
    static constexpr FieldKind kind = FieldKind::RecordArray;
    static const RecordType *element() { return &R::recordType(); }
};
template <class R> struct MemberKind<std::optional<R>> {
    static constexpr FieldKind kind = FieldKind::Record;
    static const RecordType *element() { return &R::recordType(); }
};

template <class M> struct MemberPointer;
template <class C, class V> struct MemberPointer<V C::*> {
    using Class = C;
    using Value = V;
};

template <class R> void fillArray(RecordArray<R> &out, const QJsonArray &array) {
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue element = array.at(i);
        if (element.isArray()) {
            out.append(R());
            typename RecordArray<R>::Nested nested;
            nested.index = i;
            fillArray(nested.list, element.toArray());
            out.nestedLists.push_back(std::move(nested));
        } else {
            out.append(KeyValueMapping::recordFromJson<R>(element));
        }
    }
}

template <class R> ParameterValue arrayParameter(const RecordArray<R> &list) {
    std::vector<ParameterValue> items;
    items.reserve(size_t(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (const RecordArray<R> *nested = list.nestedAt(i))
            items.push_back(arrayParameter(*nested));
        else
            items.push_back(ParameterValue(KeyValueMapping::keyValues(list.at(i))));
    }
    return ParameterValue::list(std::move(items));
}

template <class V> void assignValue(V &member, const QJsonValue &value) {
    if constexpr (std::is_same_v<V, qint64>) {
        if (auto v = MappingRules::toInt64(value))
            member = *v;
    } else if constexpr (std::is_same_v<V, bool>) {
        if (auto v = MappingRules::toBool(value))
            member = *v;
    } else if constexpr (std::is_same_v<V, std::optional<QString>>) {
        member = MappingRules::toText(value);
    } else if constexpr (std::is_same_v<V, std::optional<QJsonArray>>) {
        if (value.isArray())
            member = value.toArray();
        else
            member.reset();
    } else if constexpr (MemberKind<V>::kind == FieldKind::RecordArray) {
        const QJsonValue parsed = KeyValueMapping::parseEmbeddedJson(value);
        if (!parsed.isArray()) {
            member.reset();
            return;
        }
        member.emplace();
        fillArray(*member, parsed.toArray());
    } else {
        using R = typename V::value_type;
        member = KeyValueMapping::recordFromJson<R>(value);
    }
}

template <class V> std::optional<ParameterValue> parameterOf(const V &member) {
    if constexpr (std::is_same_v<V, qint64> || std::is_same_v<V, bool>) {
        return ParameterValue(member);
    } else if constexpr (std::is_same_v<V, std::optional<QString>>) {
        if (!member)
            return std::nullopt;
        return ParameterValue(*member);
    } else if constexpr (std::is_same_v<V, std::optional<QJsonArray>>) {
        if (!member)
            return std::nullopt;
        return ParameterValue::fromJson(*member);
    } else if constexpr (MemberKind<V>::kind == FieldKind::RecordArray) {
        if (!member)
            return std::nullopt;
        return arrayParameter(*member);
    } else {
        if (!member)
            return std::nullopt;
        return ParameterValue(KeyValueMapping::keyValues(*member));
    }
}

} // namespace MappingDetail

template <class T> class RecordTypeBuilder {
public:
    explicit RecordTypeBuilder(const char *name) {
        m_type.name = name;
        m_type.create = []() -> void * { return new T(); };
        m_type.destroy = [](void *p) { delete static_cast<T *>(p); };
    }

    template <class B> RecordTypeBuilder &extends() {
        static_assert(std::is_base_of_v<B, T>);
        m_type.base = &B::recordType();
        m_type.toBase = [](void *p) -> void * { return static_cast<B *>(static_cast<T *>(p)); };
        m_type.toBaseConst = [](const void *p) -> const void * {
            return static_cast<const B *>(static_cast<const T *>(p));
        };
        return *this;
    }

    template <auto Member> RecordTypeBuilder &field(const char *name) {
        using Traits = MappingDetail::MemberPointer<decltype(Member)>;
        using V = typename Traits::Value;
        static_assert(
            std::is_same_v<typename Traits::Class, T>,
            "a field table names the record's own members; name the base with extends<>()");
        FieldInfo info;
        info.name = QString::fromLatin1(name);
        info.kind = MappingDetail::MemberKind<V>::kind;
        if constexpr (MappingDetail::MemberKind<V>::kind == FieldKind::Record ||
                      MappingDetail::MemberKind<V>::kind == FieldKind::RecordArray)
            info.elementType = &MappingDetail::MemberKind<V>::element;
        info.assign = [](void *record, const QJsonValue &value) {
            MappingDetail::assignValue(static_cast<T *>(record)->*Member, value);
        };
        info.parameter = [](const void *record) {
            return MappingDetail::parameterOf(static_cast<const T *>(record)->*Member);
        };
        m_type.ownFields.push_back(std::move(info));
        return *this;
    }

    RecordType build() { return std::move(m_type); }

private:
    RecordType m_type;
};
