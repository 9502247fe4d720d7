#pragma once

// The contract between the development service's core (HTTP, routing, database) and the modules
// that implement groups of operations. A module owns its tables, its demo data and its handlers.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QRegularExpressionMatch>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

// The decoded form body of one request.
class FormFields {
public:
    FormFields() = default;
    explicit FormFields(QHash<QString, QString> values)
        : m_values(std::move(values)) {}

    bool has(const QString &key) const { return m_values.contains(key); }
    // The text as sent; nothing when the key is missing.
    std::optional<QString> text(const QString &key) const;
    // A decimal integer (optional sign, ASCII digits, nothing else); nothing when the key is
    // missing or the text is no such number.
    std::optional<qint64> integer(const QString &key) const;
    const QHash<QString, QString> &values() const { return m_values; }

private:
    QHash<QString, QString> m_values;
};

// What a handler answers: the JSON object sent back with HTTP 200. Use ok()/refuse() so the
// envelope (result, msg) is always there.
struct ServiceAnswer {
    QJsonObject body;

    static ServiceAnswer ok(QJsonObject fields = {});    // result 1, msg ""
    static ServiceAnswer refuse(const QString &message); // result 0, msg message
    static ServiceAnswer withResult(qint64 result, const QString &message, QJsonObject fields = {});
};

// How often verification codes may be issued and guessed. Counted per mobile number and per
// account over a rolling day, so that six digits cannot be guessed by asking for new codes.
struct CodeLimits {
    qint64 intervalMs = 60 * 1000; // between two codes for one number or one account
    int perDay = 10;               // codes per number and per account
    int wrongTriesPerDay = 20;     // wrong codes per number, across all its codes
};

// Shared by every handler of one running service.
struct ServiceContext {
    QSqlDatabase db;
    QString publicBaseUrl;                        // "http://127.0.0.1:8780/"; for image URLs
    std::optional<QString> fixedVerificationCode; // --fixed-code
    CodeLimits codeLimits;
    // --approve-after: a teacher's class request is approved this long after it was made;
    // nothing: requests stay pending.
    std::optional<qint64> approveClassRequestsAfterMs;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// A file served by GET (images): given the path after the route prefix, the bytes and the MIME
// type; nothing for 404.
struct ServedFile {
    QByteArray bytes;
    QByteArray mimeType;
};
using FileHandler = std::function<std::optional<ServedFile>(ServiceContext &, const QString &)>;
// Draws (or fetches) the picture a file name asks for, given the name's captures; nothing when
// there is no such picture.
using PictureMaker =
    std::function<std::optional<QByteArray>(ServiceContext &, const QRegularExpressionMatch &)>;

// Where a module hands in what it serves besides the catalogue's operations, whose handlers
// (ServiceHandlers.h) the service registers itself.
class FileRegistry {
public:
    virtual ~FileRegistry() = default;
    // prefix e.g. "images/cover/"; GET <prefix><rest> calls handler with <rest>.
    virtual void addFiles(const QString &prefix, FileHandler handler) = 0;
};

class ServiceModule {
public:
    virtual ~ServiceModule() = default;
    virtual QString name() const = 0;
    // Creates or migrates the module's tables (prepared statements). The service calls it inside
    // a transaction of its own, so a module must not begin one; throwing rolls it back and stops
    // the start. The module keeps its own schema version in the shared schema_version table
    // under name() (ServiceDatabase::schemaVersion / setSchemaVersion).
    virtual void migrate(QSqlDatabase &db) = 0;
    // Fills an empty database with demo data. Runs after every module has migrated, in
    // registration order (the core's people and classes first, so books may refer to them), all
    // modules in one transaction that the service opens (do not begin one).
    virtual void seed(ServiceContext &context) = 0;
    // The files (pictures) the module serves; its operations are in ServiceHandlers.h.
    virtual void registerFiles(FileRegistry &registry) = 0;
    // Runs inside every operation's transaction, before its handler: work that falls due with
    // time is done as the service answers, so no timer writes behind a request's back.
    virtual void beforeOperation(ServiceContext &context) { Q_UNUSED(context) }

protected:
    // Serves the pictures whose file names match namePattern whole: make gives the bytes, sent as
    // mimeType. A name that does not match, no picture or one that could not be drawn is a 404.
    static FileHandler pictures(const QString &namePattern, const QByteArray &mimeType,
                                PictureMaker make);
};
