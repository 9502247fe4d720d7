#pragma once

// The service's SQLite database: opening it, the per-module schema versions, and statement
// helpers that throw SqlError on failure, so a handler's transaction is rolled back instead of
// answering from half-done work.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>
#include <stdexcept>

class SqlError : public std::runtime_error {
public:
    explicit SqlError(const QString &text)
        : std::runtime_error(text.toStdString()) {}
};

class ServiceDatabase {
public:
    // Opens (creating when missing) the file under connectionName with WAL journaling and
    // foreign keys on, and refuses a file that fails SQLite's quick check. With reset the file
    // and its journal files are deleted first.
    static bool open(const QString &connectionName, const QString &path, bool reset,
                     QString *error);

    // A transaction that holds the write lock from its start (waiting up to the busy timeout
    // for another writer); begin and commit throw SqlError.
    static void begin(const QSqlDatabase &db);
    static void commit(const QSqlDatabase &db);
    static void rollback(const QSqlDatabase &db) noexcept;

    // Prepares sql; throws SqlError when it does not compile.
    static QSqlQuery prepare(const QSqlDatabase &db, const QString &sql);
    // Binds values in order and executes a prepared query; throws SqlError on failure.
    static void exec(QSqlQuery &query, const QVariantList &values = {});
    // prepare + exec in one step.
    static QSqlQuery run(const QSqlDatabase &db, const QString &sql,
                         const QVariantList &values = {});
    // The first column of the first row, or nothing when there is no row.
    static std::optional<QVariant> scalar(const QSqlDatabase &db, const QString &sql,
                                          const QVariantList &values = {});
    // Statements separated by ';' (schema scripts; no bound values).
    static void script(const QSqlDatabase &db, const QString &statements);

    // Inserts many rows with few statements: rows are gathered and written a few hundred at a
    // time as one multi-row INSERT. Seeding with it is several times faster than row by row.
    class BatchInsert {
    public:
        // head: "INSERT INTO t(a, b, c)" (any conflict clause included); columns: 3.
        BatchInsert(const QSqlDatabase &db, const QString &head, int columns);
        ~BatchInsert() noexcept(false);
        void add(const QVariantList &row);
        void flush();

    private:
        static constexpr int RowsPerStatement = 200;
        QSqlDatabase m_db;
        QString m_head;
        int m_columns;
        QVariantList m_pending;
        std::optional<QSqlQuery> m_full;
    };

    // The module's schema version in schema_version; 0 for a module never migrated.
    static int schemaVersion(const QSqlDatabase &db, const QString &module);
    static void setSchemaVersion(const QSqlDatabase &db, const QString &module, int version);
};
