#include "AccountForm.h"

#include "Toast.h"

#include <QLineEdit>

namespace AccountForm {

bool passes(std::initializer_list<std::optional<QString>> results) {
    for (const std::optional<QString> &broken : results) {
        if (broken) {
            Toast::show(*broken);
            return false;
        }
    }
    return true;
}

void chainReturnKey(const QList<QLineEdit *> &fields, const std::function<void()> &submit) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QLineEdit *field = fields[i];
        if (i + 1 < fields.size()) {
            QLineEdit *next = fields[i + 1];
            QObject::connect(field, &QLineEdit::returnPressed, next,
                             [next] { next->setFocus(Qt::TabFocusReason); });
        } else {
            QObject::connect(field, &QLineEdit::returnPressed, field, submit);
        }
    }
}

} // namespace AccountForm
