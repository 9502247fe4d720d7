#include "BookModule.h"

QString BookModule::name() const {
    return QStringLiteral("books");
}

void BookModule::migrate(QSqlDatabase &db) {
    Q_UNUSED(db);
}

void BookModule::seed(ServiceContext &context) {
    Q_UNUSED(context);
}

void BookModule::registerOperations(OperationRegistry &registry) {
    Q_UNUSED(registry);
}

std::unique_ptr<ServiceModule> makeBookModule() {
    return std::make_unique<BookModule>();
}
