#include "ServiceModule.h"

#include "ServiceLog.h"
#include "TeacherRequestManager.h"

#include <QRegularExpression>

std::optional<QString> FormFields::text(const QString &key) const {
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<qint64> FormFields::integer(const QString &key) const {
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    const QString &text = *it;
    // Only an optional sign and ASCII digits: toLongLong alone would accept blanks around the
    // number, and full-width digits must not sneak in as ids.
    qsizetype start = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    if (start == text.size())
        return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

ServiceAnswer ServiceAnswer::ok(QJsonObject fields) {
    return withResult(1, QString(), std::move(fields));
}

ServiceAnswer ServiceAnswer::refuse(const QString &message) {
    return withResult(0, message);
}

ServiceAnswer ServiceAnswer::withResult(qint64 result, const QString &message, QJsonObject fields) {
    ServiceAnswer answer;
    answer.body = std::move(fields);
    answer.body.insert(QStringLiteral("result"), result);
    answer.body.insert(QStringLiteral("msg"), message);
    return answer;
}

FileHandler ServiceModule::pictures(const QString &namePattern, const QByteArray &mimeType,
                                    PictureMaker make) {
    const QRegularExpression name(QRegularExpression::anchoredPattern(namePattern));
    Q_ASSERT(name.isValid());
    return [name, mimeType, make = std::move(make)](
               ServiceContext &context, const QString &rest) -> std::optional<ServedFile> {
        const QRegularExpressionMatch match = name.match(rest);
        if (!match.hasMatch())
            return std::nullopt;
        std::optional<QByteArray> bytes = make(context, match);
        if (!bytes)
            return std::nullopt;
        if (bytes->isEmpty()) {
            qCWarning(lcReadingService) << "picture" << rest << "could not be drawn";
            return std::nullopt;
        }
        return ServedFile{std::move(*bytes), mimeType};
    };
}
