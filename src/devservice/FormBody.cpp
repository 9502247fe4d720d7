#include "FormBody.h"

#include <QHash>
#include <QStringDecoder>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<QString> FormBody::decodeComponent(QByteArrayView component) {
    QByteArray bytes;
    bytes.reserve(component.size());
    for (qsizetype i = 0; i < component.size(); ++i) {
        const char c = component.at(i);
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%') {
            if (i + 2 >= component.size())
                return std::nullopt; // fewer than two characters follow
            const int high = hexValue(component.at(i + 1));
            const int low = hexValue(component.at(i + 2));
            if (high < 0 || low < 0)
                return std::nullopt;
            bytes += char(high * 16 + low);
            i += 2;
        } else {
            bytes += c;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<FormFields> FormBody::decode(const QByteArray &body, QString *error) {
    auto fail = [error](const QString &text) -> std::optional<FormFields> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    QHash<QString, QString> values;
    const QByteArrayView all(body);
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = all.indexOf('&', start);
        if (end < 0)
            end = all.size();
        const QByteArrayView pair = all.sliced(start, end - start);
        start = end + 1;
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArrayView rawName = equals < 0 ? pair : pair.first(equals);
        const QByteArrayView rawValue = equals < 0 ? QByteArrayView() : pair.sliced(equals + 1);
        const std::optional<QString> name = decodeComponent(rawName);
        const std::optional<QString> value = decodeComponent(rawValue);
        if (!name || !value)
            return fail(QStringLiteral("请求格式错误：参数编码无效"));
        if (name->isEmpty())
            return fail(QStringLiteral("请求格式错误：参数名为空"));
        if (values.contains(*name))
            return fail(QStringLiteral("请求格式错误：参数重复：%1").arg(*name));
        values.insert(*name, *value);
    }
    return FormFields(std::move(values));
}
