#include "ScreenLinks.h"

#include "ShellState.h"

#include <QHash>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLinks, "teacher.screens.links")

namespace ScreenLinks {
namespace {
QHash<int, Maker> &makers() {
    static QHash<int, Maker> table;
    // Tests register links of their own; each starts again from none.
    static const ShellState::Reset reset([] { table.clear(); });
    return table;
}
} // namespace

void set(Link link, Maker maker) {
    if (maker)
        makers().insert(int(link), std::move(maker));
    else
        makers().remove(int(link));
}

ViewController *make(Link link, qint64 argument) {
    const Maker maker = makers().value(int(link));
    if (!maker) {
        qCWarning(lcLinks) << "no screen registered for link" << int(link);
        return nullptr;
    }
    return maker(argument);
}

} // namespace ScreenLinks
