#pragma once

// What pupils do and what teachers follow: tests taken on books, collected books (in the book
// module's book_collections), reading reflections and their grading, flowers earned per term,
// and the operations over them: the teacher's classes and rosters, a pupil's home, the
// reflection lists and grading, and the reports with their terms, cities and districts.

#include "ServiceModule.h"

#include <memory>

class ClassroomModule : public ServiceModule {
public:
    QString name() const override { return QStringLiteral("classroom"); }
    void migrate(QSqlDatabase &db) override;
    void seed(ServiceContext &context) override;
    void registerFiles(FileRegistry &registry) override;
};

std::unique_ptr<ServiceModule> makeClassroomModule();
