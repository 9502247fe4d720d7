#include "AnswerCache.h"

#include "TeacherRequestManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QTemporaryFile>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcAnswerCache, "teacher.cache")

// What is on its way to the disk, by path: the bytes of the last write queued, or a null array
// for a removal. The writer drops a path once the last operation queued for it is done, so a path
// listed here is never read from the disk.
struct AnswerCache::Writer {
    struct Queued {
        QByteArray bytes;
        quint64 ticket = 0;
    };
    QMutex lock;
    QHash<QString, Queued> byPath;
    quint64 lastTicket = 0; // main thread only

    std::optional<QByteArray> queued(const QString &path) {
        const QMutexLocker locker(&lock);
        const auto it = byPath.constFind(path);
        return it == byPath.cend() ? std::nullopt : std::optional(it->bytes);
    }
    void done(const QString &path, quint64 ticket) {
        const QMutexLocker locker(&lock);
        if (const auto it = byPath.find(path); it != byPath.end() && it->ticket == ticket)
            byPath.erase(it);
    }
};

namespace {

// A teacher's folder is named by 32 hex digits; only such folders are ever removed, so a folder
// set by mistake to somewhere else loses nothing but what this class wrote.
constexpr qsizetype TeacherNameLength = 32;
constexpr qsizetype ServiceNameLength = 16;
const QLatin1String SignInSuffix(".signin.json");

QString hashName(const QByteArray &text, qsizetype length) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(length));
}

bool isTeacherFolderName(const QString &name) {
    if (name.size() != TeacherNameLength)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
    });
}

bool isRealFolder(const QString &path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isSignIn(const QString &operation) {
    const ServiceOperation *op = TeacherRequestManager::operation(operation);
    return op && op->offline == OfflineUse::SignIn;
}

// Accepted answers only: a refusal says nothing worth showing later.
bool isAccepted(const QJsonValue &answer) {
    const QJsonValue result = answer.toObject().value(QLatin1String("result"));
    return answer.isObject() &&
           (result.toInteger(0) == 1 || result.toString() == QLatin1String("1"));
}

// The kept file's bytes, when it is a regular file of at most the limit. Opened without following
// a link and without waiting for a writer, so a link or a pipe put in its place is refused, not
// followed or waited on. `there` tells a missing file from one that is not ours.
std::optional<QByteArray> readKept(const QString &path, bool *there) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    *there = fd >= 0 || errno != ENOENT;
    if (fd < 0)
        return std::nullopt;
    QFile file;
    struct stat status {};
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ||
        ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > AnswerCache::MaxAnswerBytes) {
        if (!file.isOpen())
            ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.read(AnswerCache::MaxAnswerBytes + 1);
    if (bytes.size() > AnswerCache::MaxAnswerBytes)
        return std::nullopt;
    return bytes;
}

// On the writer thread. Written beside and renamed over, so the file is whole or absent, and a
// link put in its place is replaced rather than written through.
bool writeKept(const QString &path, const QByteArray &bytes) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX")); // 0600, and not named .json
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush() ||
        ::fsync(file.handle()) != 0)
        return false;
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

void touchKept(const QString &path, qint64 msecs) {
    const timespec times[2] = {{0, UTIME_OMIT}, {msecs / 1000, (msecs % 1000) * 1'000'000}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

bool makeOwnerOnlyFolder(const QString &path) {
    // The missing levels, outermost first; each is made 0700, never wider, so nobody else can
    // step in between its creation and a change of its mode.
    QStringList missing;
    QString level = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    struct stat status {};
    while (::lstat(QFile::encodeName(level).constData(), &status) != 0) {
        const bool absent = errno == ENOENT;
        const QString up = QFileInfo(level).path();
        if (!absent || up == level)
            return false;
        missing.prepend(level);
        level = up;
    }
    for (const QString &folder : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0 && errno != EEXIST)
            return false;
    }
    // Whether made now or found, the folder itself is checked: a link is neither followed nor
    // changed. The mode is set too, as a umask may have taken the owner's bits.
    return isRealFolder(path) &&
           QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
}

AnswerCache::AnswerCache()
    : m_queued(std::make_shared<Writer>())
    , m_writer(std::make_unique<QThreadPool>()) {
    m_writer->setMaxThreadCount(1);
}

AnswerCache::~AnswerCache() = default;

void AnswerCache::waitForWrites() {
    m_writer->waitForDone();
}

void AnswerCache::runOnWriter(std::function<void()> task) {
    m_writer->start(std::move(task));
}

void AnswerCache::dropQueuedWrites() {
    m_writer->clear();
    m_writer->waitForDone();
    const QMutexLocker locker(&m_queued->lock);
    m_queued->byPath.clear();
}

AnswerCache &AnswerCache::instance() {
    static AnswerCache cache;
    return cache;
}

QString AnswerCache::teacherName(const QString &service, qint64 uid) {
    const QByteArray where = service.toUtf8();
    return hashName("service " + where, ServiceNameLength) +
           hashName("teacher " + where + '\n' + QByteArray::number(uid),
                    TeacherNameLength - ServiceNameLength);
}

void AnswerCache::setFolder(const QString &folder, const QString &service) {
    if (folder == m_folder && service == m_service)
        return;
    m_folder = folder;
    m_service = service;
    m_refused = false;
    close();
}

void AnswerCache::close() {
    ++m_generation;
    m_teacherFolder.clear();
    m_entries.clear();
    m_bytes = 0;
}

bool AnswerCache::refuse(const QString &path) {
    if (!m_refused)
        qCWarning(lcAnswerCache) << "the answer folder" << path
                                 << "cannot be made, or is a link; nothing is kept this run";
    m_refused = true;
    close();
    return false;
}

bool AnswerCache::rootUsable() {
    return !m_refused && (makeOwnerOnlyFolder(m_folder) || refuse(m_folder));
}

void AnswerCache::removeTeachersBut(const QString &name) {
    if (!isRealFolder(m_folder))
        return; // a link: nothing there is ours to remove
    const QDir root(m_folder);
    for (const QString &other : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (other != name && isTeacherFolderName(other) && isRealFolder(root.filePath(other)))
            QDir(root.filePath(other)).removeRecursively();
    }
}

void AnswerCache::openFor(qint64 uid) {
    if (m_folder.isEmpty() || m_refused)
        return;
    const QString name = teacherName(m_service, uid);
    if (QDir(m_folder).filePath(name) == m_teacherFolder)
        return;
    dropQueuedWrites(); // a write still on its way must not bring a removed teacher back
    close();
    if (!rootUsable())
        return;
    removeTeachersBut(name);
    open(name);
}

void AnswerCache::resumeLastTeacher() {
    if (m_folder.isEmpty() || isOpen() || !QFileInfo::exists(m_folder) || !rootUsable())
        return;
    const QString service = teacherName(m_service, 0).left(ServiceNameLength);
    QStringList teachers = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    teachers.removeIf([&](const QString &name) {
        return !isTeacherFolderName(name) || !name.startsWith(service);
    });
    if (teachers.size() == 1)
        open(teachers.first());
}

void AnswerCache::open(const QString &name) {
    const QString target = QDir(m_folder).filePath(name);
    close();
    if (!makeOwnerOnlyFolder(target)) {
        refuse(target);
        return;
    }
    m_teacherFolder = target;

    // What an earlier run kept for this teacher, in the order it was last used. Anything but a
    // regular file is left alone here, and removed if it is ever asked for.
    QDirIterator files(target, QDir::Files | QDir::Hidden);
    while (files.hasNext()) {
        const QString path = files.next();
        const QFileInfo info = files.fileInfo();
        if (info.isSymLink() || !info.isFile())
            continue;
        if (!path.endsWith(QLatin1String(".json"))) {
            QFile::remove(path); // what a write cut short left behind
            continue;
        }
        m_entries.insert(path, {info.size(), info.lastModified().toMSecsSinceEpoch(),
                                path.endsWith(SignInSuffix)});
        m_bytes += info.size();
    }
    evictBeyond(m_maxBytes);
}

void AnswerCache::clear() {
    close();
    removeAll();
}

void AnswerCache::removeAll() {
    if (m_folder.isEmpty())
        return;
    dropQueuedWrites();
    removeTeachersBut(QString());
}

QString AnswerCache::pathOf(const QString &operation, const QByteArray &form) const {
    return QDir(m_teacherFolder)
        .filePath(hashName(operation.toUtf8() + '\n' + form, 64) +
                  (isSignIn(operation) ? QString(SignInSuffix) : QStringLiteral(".json")));
}

qint64 AnswerCache::nextStamp() {
    m_lastStamp = std::max(QDateTime::currentMSecsSinceEpoch(), m_lastStamp + 1);
    return m_lastStamp;
}

void AnswerCache::queue(const QString &path, const QByteArray &bytes) {
    const quint64 ticket = ++m_queued->lastTicket;
    {
        const QMutexLocker locker(&m_queued->lock);
        m_queued->byPath.insert(path, {bytes, ticket});
    }
    m_writer->start([writer = m_queued, path, bytes, ticket] {
        if (bytes.isNull())
            QFile::remove(path); // a link goes itself; what it points to stays
        else if (!writeKept(path, bytes))
            qCDebug(lcAnswerCache) << "answer not kept:" << qt_error_string();
        writer->done(path, ticket);
    });
}

void AnswerCache::store(quint64 generation, const QString &operation, const QByteArray &form,
                        const QJsonValue &answer) {
    if (generation != m_generation || !isOpen() || !isAccepted(answer))
        return;
    const QString path = pathOf(operation, form);
    const qint64 now = nextStamp();
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("receivedAt"), double(now)},
                                                       {QStringLiteral("answer"), answer}})
                                 .toJson(QJsonDocument::Compact);
    if (bytes.size() > MaxAnswerBytes) {
        // An older answer is no longer the last word either.
        forget(path);
        return;
    }
    queue(path, bytes);
    m_bytes -= m_entries.value(path).bytes;
    m_entries.insert(path, {bytes.size(), now, isSignIn(operation)});
    m_bytes += bytes.size();
    evictBeyond(m_maxBytes);
}

std::optional<AnswerCache::Kept> AnswerCache::find(const QString &operation,
                                                   const QByteArray &form) {
    if (!isOpen())
        return std::nullopt;
    const QString path = pathOf(operation, form);
    // What is on its way to the disk is answered as it will be written.
    std::optional<QByteArray> bytes = m_queued->queued(path);
    if (!bytes) {
        bool there = false;
        bytes = readKept(path, &there);
        if (!bytes) {
            if (there)
                forget(path); // not one of ours
            else
                m_bytes -= m_entries.take(path).bytes; // a write that failed
            return std::nullopt;
        }
    }
    if (bytes->isNull())
        return std::nullopt; // its removal is queued
    const QJsonObject record = QJsonDocument::fromJson(*bytes).object();
    const QJsonValue receivedAt = record.value(QLatin1String("receivedAt"));
    const QJsonValue answer = record.value(QLatin1String("answer"));
    if (!receivedAt.isDouble() || !isAccepted(answer)) {
        forget(path);
        return std::nullopt;
    }
    const qint64 now = nextStamp();
    m_writer->start([path, now] { touchKept(path, now); });
    m_bytes += bytes->size() - m_entries.value(path).bytes;
    m_entries.insert(path, {bytes->size(), now, isSignIn(operation)});
    return Kept{answer, QDateTime::fromMSecsSinceEpoch(qint64(receivedAt.toDouble()))};
}

void AnswerCache::forget(const QString &path) {
    queue(path, QByteArray());
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend())
        return;
    m_bytes -= it->bytes;
    m_entries.erase(it);
}

void AnswerCache::evictBeyond(qint64 bytes) {
    if (m_bytes <= bytes)
        return;
    std::vector<std::pair<qint64, QString>> byUse;
    byUse.reserve(m_entries.size());
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!it->pinned)
            byUse.emplace_back(it->lastUsed, it.key());
    }
    std::sort(byUse.begin(), byUse.end());
    // Down to nine tenths, so that a full cache does not sort itself on every answer.
    const qint64 goal = bytes - bytes / 10;
    for (const auto &[lastUsed, path] : byUse) {
        if (m_bytes <= goal)
            break;
        forget(path);
    }
}

void AnswerCache::resetForTests() {
    waitForWrites();
    setFolder(QString(), QString());
    m_refused = false;
    m_maxBytes = MaxBytes;
}
