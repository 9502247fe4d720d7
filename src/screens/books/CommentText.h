#pragma once

#include <QRegularExpression>
#include <QString>

// The rules a comment's text obeys while it is typed. Lengths are UTF-16 code units.
namespace CommentText {

inline constexpr int MaxLength = 140;

// How much of `inserted` still fits when it replaces `replacedLength` units of a text of
// `currentLength` units limited to `limit`: its longest fitting start, never ending on half of a
// surrogate pair (an emoji cut in two would be a broken character).
QString fittingInsertion(const QString &inserted, int currentLength, int replacedLength,
                         int limit = MaxLength);

// The first `limit` units (again keeping surrogate pairs whole).
QString cutToLimit(const QString &text, int limit = MaxLength);

// Every character outside the ones a comment field accepts (Latin, CJK and full-width forms,
// general punctuation, line breaks), matched without regard to case.
const QRegularExpression &unsupportedCharacters();

// `text` without the unsupported characters. `cursor`, when given, is moved back by the units
// removed before it, so it stays beside the same character.
QString removeUnsupported(const QString &text, int *cursor = nullptr);

} // namespace CommentText
