#pragma once

#include <QString>

#include <functional>

// A grade on its way to the service: UpdateFeel with the uid of the teacher who gave it, kept in
// HeldChanges from the moment it is given until the service has answered, so every list, the
// review desk and the detail screen see it as given and nobody grades it twice. Its effects
// outlive every screen: once the grades on their way are all answered and one was accepted,
// NOTIFICATION_UPDATE_GRADE goes out (once for a batch), so every reflection list reloads.
namespace GradePost {

// Why a grade did not go through, in the teacher's words: the refusal's msg, "服务未说明原因"
// for a refusal without one, or what happened to the call ("无网络连接", "服务出错（500）").
using Answered = std::function<void(bool accepted, const QString &reason)>;

// Holds the grade for the undo window, then sends it; a failure says why in a toast and puts the
// reflection back among the waiting.
void hold(qint64 feelId, int code);
// Sends the grade at once (a dialog's confirmed choice, one of a batch). `answered` runs once,
// whatever became of the screen that asked; a failure puts the reflection back among the
// waiting and says nothing by itself.
void submit(qint64 feelId, int code, Answered answered = {});

// The grade the teacher gave for a reflection and not yet taken back or refused (held, on its
// way or accepted in this sign-in), 0 for none.
int givenCode(qint64 feelId);

} // namespace GradePost
