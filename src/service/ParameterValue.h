#pragma once

#include <QJsonValue>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class ParameterDictionary;

// One value of a request's parameter dictionary: what the form encoding knows how to write.
// Composite values share their (immutable) contents, so copies are cheap.
class ParameterValue {
public:
    enum class Type { Null, Text, Integer, Real, Boolean, Dictionary, List, Set };

    ParameterValue() = default; // null
    ParameterValue(const QString &text)
        : m_type(Type::Text)
        , m_text(text) {}
    ParameterValue(QString &&text)
        : m_type(Type::Text)
        , m_text(std::move(text)) {}
    ParameterValue(qint64 number)
        : m_type(Type::Integer)
        , m_integer(number) {}
    ParameterValue(int number)
        : m_type(Type::Integer)
        , m_integer(number) {}
    ParameterValue(double number)
        : m_type(Type::Real)
        , m_real(number) {}
    ParameterValue(bool flag)
        : m_type(Type::Boolean)
        , m_integer(flag ? 1 : 0) {}
    ParameterValue(const ParameterDictionary &dictionary);
    // Without this a string literal would silently become a boolean.
    ParameterValue(const char *) = delete;

    static ParameterValue list(std::vector<ParameterValue> items);
    static ParameterValue set(std::vector<ParameterValue> items);
    // A JSON value as it stands: objects become dictionaries, arrays lists; integral numbers stay
    // integers.
    static ParameterValue fromJson(const QJsonValue &value);

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }

    QString text() const { return m_text; }
    qint64 integer() const { return m_integer; }
    double real() const { return m_real; }
    bool boolean() const { return m_integer != 0; }
    const ParameterDictionary &dictionary() const;    // empty unless Type::Dictionary
    const std::vector<ParameterValue> &items() const; // list or set elements, else empty

    // The text the form encoding writes: a text unchanged, an integer in decimal, a boolean as 1
    // or 0, a real in its shortest round-trip form. Empty for null and composites.
    QString textForm() const;

    // JSON for logs and tools: integers stay exact, sets become arrays.
    QJsonValue toJson() const;

    friend bool operator==(const ParameterValue &a, const ParameterValue &b);

private:
    Type m_type = Type::Null;
    QString m_text;
    qint64 m_integer = 0;
    double m_real = 0;
    std::shared_ptr<const ParameterDictionary> m_dictionary;
    std::shared_ptr<const std::vector<ParameterValue>> m_items;
};

// An unordered mapping from keys to values. Insertion order is kept only for display; the form
// encoding sorts keys itself.
class ParameterDictionary {
public:
    using Entry = std::pair<QString, ParameterValue>;

    ParameterDictionary() = default;
    ParameterDictionary(std::initializer_list<Entry> entries);

    // Replaces the value of an existing key.
    void insert(const QString &key, ParameterValue value);
    void remove(const QString &key);
    bool contains(const QString &key) const { return find(key) != nullptr; }
    const ParameterValue *find(const QString &key) const;
    ParameterValue value(const QString &key) const;

    qsizetype size() const { return qsizetype(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const std::vector<Entry> &entries() const { return m_entries; }
    // Keys in ascending code-point order (not UTF-16 order: they differ above U+D7FF).
    std::vector<QString> sortedKeys() const;

    // A JSON object (QJsonObject orders keys by UTF-16 units; they differ from code-point order
    // only for keys beyond U+D7FF).
    QJsonObject toJson() const;
    static ParameterDictionary fromJson(const QJsonObject &object);

    friend bool operator==(const ParameterDictionary &a, const ParameterDictionary &b);

private:
    std::vector<Entry> m_entries;
};

// Code-point order of two texts; UTF-16 code-unit order puts U+E000..U+FFFF after surrogate pairs.
bool codePointLess(const QString &a, const QString &b);
