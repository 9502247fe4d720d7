#pragma once

// Reading a request's fields in a handler. A missing or malformed field ends the handler with a
// refusal that names the field; the service turns a thrown ServiceRefusal into result 0 and
// rolls the transaction back.

#include "ServiceModule.h"

#include <QString>

#include <stdexcept>

class ServiceRefusal : public std::runtime_error {
public:
    explicit ServiceRefusal(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// One page of a list: pageIndex counted from 1.
struct PageRequest {
    qint64 index = 1;
    qint64 size = 9;
    qint64 offset() const { return (index - 1) * size; }
};

class RequestReader {
public:
    // Larger pages are cut to this size rather than refused: a client that asks for more simply
    // gets fewer rows per page, and the paging stays consistent.
    static constexpr qint64 MaximumPageSize = 100;

    explicit RequestReader(const FormFields &fields)
        : m_fields(fields) {}

    // A required decimal integer: "缺少参数：key" when missing, "参数格式错误：key" when not a
    // number.
    qint64 integer(const QString &key) const;
    // An optional integer: fallback when missing; still refused when present but malformed.
    qint64 integerOr(const QString &key, qint64 fallback) const;
    // A required text (may be empty).
    QString text(const QString &key) const;
    QString textOr(const QString &key, const QString &fallback = {}) const;
    // pageIndex and pageSize: both required, both at least 1 (refused otherwise); pageSize is
    // capped at MaximumPageSize.
    PageRequest page() const;

    [[noreturn]] static void refuse(const QString &message);

private:
    const FormFields &m_fields;
};
