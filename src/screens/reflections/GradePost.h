#pragma once

#include <QString>

#include <functional>

// A grade on its way to the service, exactly as the grading screen sends it (UpdateFeel with the
// signed-in uid). Its effects outlive every screen: an accepted grade posts
// NOTIFICATION_UPDATE_GRADE, so every reflection list reloads, whoever asked for it.
namespace GradePost {

// `answered(accepted, msg)` runs once; `msg` is a refusal's msg, empty after a transport failure
// (whose "无网络连接" toast the answer handling shows). A refusal's msg is not shown here: the
// caller decides (one toast, or a batch's summary).
using Answered = std::function<void(bool accepted, const QString &why)>;
void send(qint64 feelId, int code, Answered answered, bool notify = true);

// Holds the grade for the undo window (HeldChanges), then sends it; a refusal shows its msg and
// puts the reflection back among the waiting.
void hold(qint64 feelId, int code);

} // namespace GradePost
