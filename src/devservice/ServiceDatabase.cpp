#include "ServiceDatabase.h"

#include "ServiceLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <exception>

namespace {

QString describe(const QSqlQuery &query) {
    return query.lastError().text() + QStringLiteral(" [") + query.lastQuery() + u']';
}

} // namespace

bool ServiceDatabase::open(const QString &connectionName, const QString &path, bool reset,
                           QString *error) {
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no database path given"));
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder %1").arg(info.absolutePath()));
    if (reset) {
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
            QFile file(path + suffix);
            if (file.exists() && !file.remove())
                return fail(QStringLiteral("cannot delete %1: %2")
                                .arg(file.fileName(), file.errorString()));
        }
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    if (!db.open())
        return fail(QStringLiteral("cannot open %1: %2").arg(path, db.lastError().text()));
    try {
        // WAL with synchronous=NORMAL keeps every committed transaction across a killed
        // process; only a power cut could cost the last ones, which a development service
        // can afford.
        const QString journal =
            scalar(db, QStringLiteral("PRAGMA journal_mode=WAL")).value_or(QVariant()).toString();
        if (journal.compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0)
            qCWarning(lcReadingService) << "journal mode is" << journal << "instead of WAL";
        script(db, QStringLiteral("PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; "
                                  "PRAGMA busy_timeout=5000"));
        // A damaged file would otherwise answer some operations and fail others at random.
        const QString check =
            scalar(db, QStringLiteral("PRAGMA quick_check")).value_or(QVariant()).toString();
        if (check != QLatin1String("ok"))
            throw SqlError(QStringLiteral("quick_check says: ") + check);
        run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version("
                               "module TEXT PRIMARY KEY, version INTEGER NOT NULL)"));
    } catch (const SqlError &e) {
        db.close();
        return fail(QStringLiteral("the database %1 is damaged or not a database (%2); move it "
                                   "away or start with --reset to seed a new one")
                        .arg(path, QString::fromStdString(e.what())));
    }
    return true;
}

void ServiceDatabase::begin(const QSqlDatabase &db) {
    // Taking the write lock at once: a deferred transaction that reads and then writes fails
    // with "database is locked" at once when another process writes, instead of waiting out
    // the busy timeout.
    run(db, QStringLiteral("BEGIN IMMEDIATE"));
}

void ServiceDatabase::commit(const QSqlDatabase &db) {
    run(db, QStringLiteral("COMMIT"));
}

void ServiceDatabase::rollback(const QSqlDatabase &db) noexcept {
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

QSqlQuery ServiceDatabase::prepare(const QSqlDatabase &db, const QString &sql) {
    QSqlQuery query(db);
    if (!query.prepare(sql))
        throw SqlError(describe(query));
    return query;
}

void ServiceDatabase::exec(QSqlQuery &query, const QVariantList &values) {
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    if (!query.exec())
        throw SqlError(describe(query));
}

QSqlQuery ServiceDatabase::run(const QSqlDatabase &db, const QString &sql,
                               const QVariantList &values) {
    QSqlQuery query = prepare(db, sql);
    exec(query, values);
    return query;
}

std::optional<QVariant> ServiceDatabase::scalar(const QSqlDatabase &db, const QString &sql,
                                                const QVariantList &values) {
    QSqlQuery query = run(db, sql, values);
    if (!query.next())
        return std::nullopt;
    return query.value(0);
}

void ServiceDatabase::script(const QSqlDatabase &db, const QString &statements) {
    const QStringList parts = statements.split(u';', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            run(db, part);
    }
}

int ServiceDatabase::schemaVersion(const QSqlDatabase &db, const QString &module) {
    return scalar(db, QStringLiteral("SELECT version FROM schema_version WHERE module = ?"),
                  {module})
        .value_or(QVariant(0))
        .toInt();
}

void ServiceDatabase::setSchemaVersion(const QSqlDatabase &db, const QString &module, int version) {
    // Every start migrates: an unchanged version must not cost a write.
    if (schemaVersion(db, module) == version)
        return;
    run(db,
        QStringLiteral("INSERT INTO schema_version(module, version) VALUES(?, ?) "
                       "ON CONFLICT(module) DO UPDATE SET version = excluded.version"),
        {module, version});
}

ServiceDatabase::BatchInsert::BatchInsert(const QSqlDatabase &db, const QString &head, int columns)
    : m_db(db)
    , m_head(head)
    , m_columns(columns) {}

ServiceDatabase::BatchInsert::~BatchInsert() noexcept(false) {
    // Flushed here only when no exception is already on its way: a failed seed must not
    // throw twice.
    if (std::uncaught_exceptions() == 0)
        flush();
}

void ServiceDatabase::BatchInsert::add(const QVariantList &row) {
    if (row.size() != m_columns)
        throw SqlError(QStringLiteral("a row of %1 values for %2 columns: %3")
                           .arg(row.size())
                           .arg(m_columns)
                           .arg(m_head));
    m_pending.append(row);
    if (m_pending.size() >= qsizetype(RowsPerStatement) * m_columns)
        flush();
}

void ServiceDatabase::BatchInsert::flush() {
    if (m_pending.isEmpty())
        return;
    const qsizetype rows = m_pending.size() / m_columns;
    auto statement = [this](qsizetype count) {
        QString one = QStringLiteral("(?");
        for (int i = 1; i < m_columns; ++i)
            one += QStringLiteral(", ?");
        one += u')';
        QStringList all;
        for (qsizetype i = 0; i < count; ++i)
            all.append(one);
        return m_head + QStringLiteral(" VALUES ") + all.join(QStringLiteral(", "));
    };
    if (rows == RowsPerStatement) {
        if (!m_full)
            m_full = prepare(m_db, statement(rows));
        exec(*m_full, m_pending);
    } else {
        QSqlQuery query = prepare(m_db, statement(rows));
        exec(query, m_pending);
    }
    m_pending.clear();
}
