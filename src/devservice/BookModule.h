#pragma once

// The book catalogue of the development service: books and their categories, comments, likes
// and collections, and the cover images.

#include "ServiceModule.h"

#include <memory>

class BookModule : public ServiceModule {
public:
    QString name() const override;
    void migrate(QSqlDatabase &db) override;
    void seed(ServiceContext &context) override;
    void registerOperations(OperationRegistry &registry) override;
};

std::unique_ptr<ServiceModule> makeBookModule();
