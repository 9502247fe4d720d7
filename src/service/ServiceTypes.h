#pragma once

#include <QJsonValue>
#include <QString>

#include <functional>
#include <optional>

// Receives the parsed JSON value of an answer, or nothing when the answer carried none.
using ServiceCompletion = std::function<void(const std::optional<QJsonValue> &value)>;
// Receives the description of what went wrong.
using ServiceFailure = std::function<void(const QString &text)>;

// The service every call goes to: TEACHER_SERVICE_URL when set (a trailing slash is added when
// missing), else the development service on this machine.
QString ServiceBaseURL();

// The folder the client keeps what it fetched in (pictures, answers for offline reading):
// TEACHER_CLIENT_CACHE_DIR when set, else the user's cache folder for this program.
QString ClientCacheFolder();
