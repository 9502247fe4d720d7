#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>

class QLineEdit;

// What the account forms share beyond the text rules.
namespace AccountForm {

// The rules' results in the order the screen checks them: the first broken one is shown in a
// toast and the answer is false; true when every rule holds.
bool passes(std::initializer_list<std::optional<QString>> results);

// Return in a field moves to the next one; in the last it calls `submit`.
void chainReturnKey(const QList<QLineEdit *> &fields, const std::function<void()> &submit);

} // namespace AccountForm
