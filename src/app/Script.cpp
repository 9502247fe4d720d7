#include "Script.h"

#include <QKeySequence>
#include <QRegularExpression>

#include <optional>

namespace {

struct VerbInfo {
    const char *word;
    ScriptStep::Verb verb;
    const char *usage;
};

const VerbInfo kVerbs[] = {
    {"tap", ScriptStep::Verb::Tap, "tap NAME [PART]"},
    {"type", ScriptStep::Verb::Type, "type NAME TEXT"},
    {"key", ScriptStep::Verb::Key, "key NAME KEY (Return, Escape, Ctrl+A)"},
    {"press", ScriptStep::Verb::Press, "press KEY (1, Down, Escape, Ctrl+Z)"},
    {"row", ScriptStep::Verb::Row, "row LIST N"},
    {"back", ScriptStep::Verb::Back, "back"},
    {"tab", ScriptStep::Verb::Tab, "tab N (0 to 3)"},
    {"tick", ScriptStep::Verb::Tick, "tick SECONDS"},
    {"wait", ScriptStep::Verb::Wait, "wait"},
    {"await", ScriptStep::Verb::Await, "await FILE (until another program makes it)"},
    {"shot", ScriptStep::Verb::Shot, "shot FILE.png"},
    {"dump", ScriptStep::Verb::Dump, "dump FILE.json"},
    {"expect", ScriptStep::Verb::Expect, "expect NAME TEXT"},
};

constexpr int kTabCount = 4;

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Splits off the first word; `rest` gets what follows it, leading blanks removed.
QString takeWord(QStringView text, QStringView *rest) {
    qsizetype end = 0;
    while (end < text.size() && !isSpace(text[end]))
        ++end;
    qsizetype next = end;
    while (next < text.size() && isSpace(text[next]))
        ++next;
    *rest = text.mid(next);
    return text.left(end).toString();
}

// A count written in ASCII digits; anything else (signs, full-width digits, overflow) is refused.
std::optional<int> count(const QString &word) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    if (!digits.match(word).hasMatch())
        return std::nullopt;
    return word.toInt();
}

// Fills the step from the words after the verb; the reason on refusal.
QString readArguments(ScriptStep *step, QStringView rest) {
    const QString first = takeWord(rest, &rest);
    switch (step->verb) {
    case ScriptStep::Verb::Back:
    case ScriptStep::Verb::Wait:
        return first.isEmpty() ? QString() : QStringLiteral("takes no argument");
    case ScriptStep::Verb::Tab: {
        const std::optional<int> n = count(first);
        if (!rest.isEmpty() || !n || *n >= kTabCount)
            return QStringLiteral("needs one tab number from 0 to %1").arg(kTabCount - 1);
        step->number = *n;
        return {};
    }
    case ScriptStep::Verb::Tick: {
        const std::optional<int> n = count(first);
        if (!rest.isEmpty() || !n || *n == 0)
            return QStringLiteral("needs one number of seconds from 1");
        step->number = *n;
        return {};
    }
    case ScriptStep::Verb::Tap: {
        if (first.isEmpty())
            return QStringLiteral("needs a widget name");
        step->name = first;
        if (rest.isEmpty())
            return {};
        const QString part = takeWord(rest, &rest);
        const std::optional<int> n = count(part);
        if (!rest.isEmpty() || !n)
            return QStringLiteral("takes a widget name and at most a part number from 0");
        step->number = *n;
        return {};
    }
    case ScriptStep::Verb::Row: {
        const QString second = takeWord(rest, &rest);
        const std::optional<int> n = count(second);
        if (first.isEmpty() || !n || !rest.isEmpty())
            return QStringLiteral("needs a list name and a row number from 0");
        step->name = first;
        step->number = *n;
        return {};
    }
    case ScriptStep::Verb::Key: {
        const QString key = takeWord(rest, &rest);
        if (first.isEmpty() || key.isEmpty() || !rest.isEmpty())
            return QStringLiteral("needs a widget name and one key");
        if (!Script::keyOf(key))
            return QStringLiteral("does not know the key \"%1\"").arg(key);
        step->name = first;
        step->text = key;
        return {};
    }
    case ScriptStep::Verb::Press:
        if (first.isEmpty() || !rest.isEmpty())
            return QStringLiteral("needs one key");
        if (!Script::keyOf(first))
            return QStringLiteral("does not know the key \"%1\"").arg(first);
        step->text = first;
        return {};
    case ScriptStep::Verb::Type:
    case ScriptStep::Verb::Expect:
        if (first.isEmpty())
            return QStringLiteral("needs a widget name and a text");
        step->name = first;
        step->text = rest.toString();
        return {};
    case ScriptStep::Verb::Await:
        if (first.isEmpty())
            return QStringLiteral("needs a file name");
        step->text = rest.isEmpty() ? first : first + QLatin1Char(' ') + rest.toString();
        return {};
    case ScriptStep::Verb::Shot:
    case ScriptStep::Verb::Dump: {
        const QString file = rest.isEmpty() ? first : first + QLatin1Char(' ') + rest.toString();
        const QString suffix =
            step->verb == ScriptStep::Verb::Shot ? QStringLiteral(".png") : QStringLiteral(".json");
        if (file.size() <= suffix.size() || !file.endsWith(suffix, Qt::CaseInsensitive))
            return QStringLiteral("needs a file name ending in %1").arg(suffix);
        step->text = file;
        return {};
    }
    }
    return QStringLiteral("is not understood");
}

} // namespace

bool ScriptStep::isAction() const {
    switch (verb) {
    case Verb::Tap:
    case Verb::Type:
    case Verb::Key:
    case Verb::Press:
    case Verb::Row:
    case Verb::Back:
    case Verb::Tab:
    case Verb::Tick:
        return true;
    default:
        return false;
    }
}

std::optional<QKeyCombination> Script::keyOf(const QString &name) {
    const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return std::nullopt;
    return sequence[0];
}

QStringList Script::verbs() {
    QStringList words;
    for (const VerbInfo &info : kVerbs)
        words << QLatin1String(info.word);
    return words;
}

ParsedScript Script::parse(const QString &text) {
    ParsedScript parsed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        QStringView rest;
        qsizetype start = 0;
        while (isSpace(line[start]))
            ++start;
        const QString word = takeWord(QStringView(line).mid(start), &rest);

        ScriptStep step;
        step.line = int(i + 1);
        step.source = trimmed;
        const VerbInfo *info = nullptr;
        for (const VerbInfo &candidate : kVerbs) {
            if (word == QLatin1String(candidate.word))
                info = &candidate;
        }
        if (!info) {
            parsed.errors << QStringLiteral("line %1: unknown verb \"%2\" (the verbs are %3)")
                                 .arg(step.line)
                                 .arg(word, verbs().join(QStringLiteral(", ")));
            continue;
        }
        step.verb = info->verb;
        const QString problem = readArguments(&step, rest);
        if (!problem.isEmpty()) {
            parsed.errors << QStringLiteral("line %1: %2 %3 (%4)")
                                 .arg(step.line)
                                 .arg(QLatin1String(info->word), problem,
                                      QLatin1String(info->usage));
            continue;
        }
        parsed.steps << step;
    }
    return parsed;
}
