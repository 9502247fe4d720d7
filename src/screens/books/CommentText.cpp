#include "CommentText.h"

namespace CommentText {

namespace {
QString cutKeepingPairs(const QString &text, int length) {
    if (length <= 0)
        return {};
    if (length >= text.size())
        return text;
    QString head = text.left(length);
    if (head.back().isHighSurrogate())
        head.chop(1);
    return head;
}
} // namespace

QString fittingInsertion(const QString &inserted, int currentLength, int replacedLength,
                         int limit) {
    const int room = limit - (currentLength - replacedLength);
    return cutKeepingPairs(inserted, room);
}

QString cutToLimit(const QString &text, int limit) {
    return cutKeepingPairs(text, limit);
}

const QRegularExpression &unsupportedCharacters() {
    static const QRegularExpression pattern(
        QStringLiteral("[^\\x{0020}-\\x{007E}\\x{00A0}-\\x{00BE}\\x{2E80}-\\x{A4CF}"
                       "\\x{F900}-\\x{FAFF}\\x{FE30}-\\x{FE4F}\\x{FF00}-\\x{FFEF}"
                       "\\x{0080}-\\x{009F}\\x{2000}-\\x{201f}\\r\\n]"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

QString removeUnsupported(const QString &text, int *cursor) {
    QString kept;
    kept.reserve(text.size());
    int from = 0;
    int removedBeforeCursor = 0;
    auto matches = unsupportedCharacters().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        kept += QStringView(text).mid(from, match.capturedStart() - from);
        if (cursor)
            removedBeforeCursor +=
                qBound(0, *cursor - int(match.capturedStart()), int(match.capturedLength()));
        from = int(match.capturedEnd());
    }
    kept += QStringView(text).mid(from);
    if (cursor)
        *cursor -= removedBeforeCursor;
    return kept;
}

} // namespace CommentText
