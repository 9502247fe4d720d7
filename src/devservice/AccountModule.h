#pragma once

// People and places of the development service: the province with its cities, districts and
// schools, the classes, teachers and pupils, teachers' class assignments, verification codes
// and uploaded photos; and the account operations (sign-in, codes, password, mobile number,
// teacher profile, class selection, photo upload).

#include "ServiceModule.h"

#include <memory>

class AccountModule : public ServiceModule {
public:
    QString name() const override { return QStringLiteral("accounts"); }
    void migrate(QSqlDatabase &db) override;
    void seed(ServiceContext &context) override;
    void registerFiles(FileRegistry &registry) override;
    // Approves the class requests that have waited long enough (--approve-after).
    void beforeOperation(ServiceContext &context) override;

    // Approves the pending class requests made at or before `requestedUpTo` (ms since the
    // epoch), oldest first, as the school would. A request whose class has found its teacher
    // meanwhile is dropped instead, so a class never gets two. Answers how many were approved.
    static int approveClassRequests(const QSqlDatabase &db, qint64 requestedUpTo);

    // Refuses ("教师账号不存在") unless uid is a teacher.
    static void requireTeacher(const QSqlDatabase &db, qint64 uid);
    static QString studentPhotoUrl(const ServiceContext &context, qint64 userId);
    // Carries the photo's version, so a client that cached the old picture loads the new one.
    static QString teacherPhotoUrl(const ServiceContext &context, qint64 userId);

    // "sha256:<salt>:<digest>"; salted so equal passwords do not look equal in the database.
    static QString hashPassword(const QString &password, const QByteArray &salt);
    static QString hashPassword(const QString &password);
    static bool passwordMatches(const QString &stored, const QString &password);

    // Codes are valid this long after they are sent.
    static constexpr qint64 CodeLifetimeMs = 10 * 60 * 1000;
    // A code is void after this many wrong tries, so six digits cannot be guessed.
    static constexpr int CodeAttempts = 5;
    // A confirmed forgotten-password code allows one reset within this time.
    static constexpr qint64 ResetWindowMs = 10 * 60 * 1000;
    // Largest photo accepted, in pixels per side.
    static constexpr int MaximumPhotoSide = 4096;
};

std::unique_ptr<ServiceModule> makeAccountModule();
