#include "RequestReader.h"

qint64 RequestReader::integer(const QString &key) const {
    if (!m_fields.has(key))
        refuse(QStringLiteral("缺少参数：%1").arg(key));
    return integerOr(key, 0);
}

qint64 RequestReader::integerOr(const QString &key, qint64 fallback) const {
    if (!m_fields.has(key))
        return fallback;
    const std::optional<qint64> value = m_fields.integer(key);
    if (!value)
        refuse(QStringLiteral("参数格式错误：%1").arg(key));
    return *value;
}

QString RequestReader::text(const QString &key) const {
    const std::optional<QString> value = m_fields.text(key);
    if (!value)
        refuse(QStringLiteral("缺少参数：%1").arg(key));
    return *value;
}

QString RequestReader::textOr(const QString &key, const QString &fallback) const {
    return m_fields.text(key).value_or(fallback);
}

PageRequest RequestReader::page() const {
    PageRequest page;
    page.index = integer(QStringLiteral("pageIndex"));
    page.size = integer(QStringLiteral("pageSize"));
    if (page.index < 1)
        refuse(QStringLiteral("参数错误：pageIndex 从 1 开始"));
    if (page.size < 1)
        refuse(QStringLiteral("参数错误：pageSize 至少为 1"));
    page.size = qMin(page.size, MaximumPageSize);
    // A page so far out that its offset would overflow holds nothing anyway.
    if (page.index > std::numeric_limits<qint64>::max() / page.size)
        page.index = std::numeric_limits<qint64>::max() / page.size;
    return page;
}

void RequestReader::refuse(const QString &message) {
    throw ServiceRefusal(message);
}
