#pragma once

#include <QByteArray>
#include <QHash>

// The roles a model answers for rows drawn by CheckMarkRowDelegate (and the filter menu's grid
// cell): the delegates know no model, so these numbers are what every such model must use.
namespace CheckMarkRoles {
enum Role : int {
    MarkedRole = Qt::UserRole + 1, // bool: the chosen row, in the highlight colour
    LeftOfTwoRole,                 // bool: a row of the left list of a two-level choice
};

// These roles' names, for a model's roleNames().
inline QHash<int, QByteArray> names() {
    return {{MarkedRole, "marked"}, {LeftOfTwoRole, "leftOfTwo"}};
}
} // namespace CheckMarkRoles
