#include "AnswerCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QThreadPool>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcAnswerCache, "teacher.cache")

namespace {

constexpr QFileDevice::Permissions OwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
// A teacher's folder is named by 32 hex digits; only such folders are ever removed, so a folder
// set by mistake to somewhere else loses nothing but what this class wrote.
constexpr qsizetype TeacherNameLength = 32;

std::optional<QDateTime> s_deliveringKeptFrom;

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

bool makeOwnerOnlyFolder(const QString &path) {
    return QDir().mkpath(path) && QFile::setPermissions(path, OwnerOnlyFolder);
}

// Accepted answers only: a refusal says nothing worth showing later.
bool isAccepted(const QJsonValue &answer) {
    const QJsonValue result = answer.toObject().value(QLatin1String("result"));
    return answer.isObject() &&
           (result.toInteger(0) == 1 || result.toString() == QLatin1String("1"));
}

} // namespace

AnswerCache::AnswerCache()
    : m_writer(std::make_unique<QThreadPool>()) {
    m_writer->setMaxThreadCount(1);
}

AnswerCache::~AnswerCache() = default;

void AnswerCache::waitForWrites() {
    m_writer->waitForDone();
}

AnswerCache &AnswerCache::instance() {
    static AnswerCache cache;
    return cache;
}

void AnswerCache::setFolder(const QString &folder) {
    if (folder == m_folder)
        return;
    m_folder = folder;
    m_teacherFolder.clear();
    m_entries.clear();
    m_bytes = 0;
    ++m_generation;
}

void AnswerCache::openFor(qint64 uid) {
    if (m_folder.isEmpty())
        return;
    const QString name = hashName("teacher " + QByteArray::number(uid), TeacherNameLength);
    if (QDir(m_folder).filePath(name) == m_teacherFolder)
        return;
    waitForWrites(); // a write still on its way must not bring a removed teacher back
    const QDir root(m_folder);
    for (const QString &other : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (other != name && isTeacherFolderName(other))
            QDir(root.filePath(other)).removeRecursively();
    }
    open(name);
}

void AnswerCache::resumeLastTeacher() {
    if (m_folder.isEmpty() || isOpen())
        return;
    QStringList teachers = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    teachers.removeIf([](const QString &name) { return !isTeacherFolderName(name); });
    if (teachers.size() == 1)
        open(teachers.first());
}

void AnswerCache::open(const QString &name) {
    const QString target = QDir(m_folder).filePath(name);
    ++m_generation;
    m_teacherFolder.clear();
    m_entries.clear();
    m_bytes = 0;
    if (!makeOwnerOnlyFolder(m_folder) || !makeOwnerOnlyFolder(target)) {
        qCWarning(lcAnswerCache) << "cannot make the answer folder" << target
                                 << "; nothing is kept for offline reading";
        return;
    }
    m_teacherFolder = target;

    // What an earlier run kept for this teacher, in the order it was last used.
    QDirIterator files(target, QDir::Files | QDir::Hidden);
    while (files.hasNext()) {
        const QString path = files.next();
        const QFileInfo info = files.fileInfo();
        if (!path.endsWith(QLatin1String(".json"))) {
            QFile::remove(path); // what a write cut short left behind
            continue;
        }
        m_entries.insert(path, {info.size(), info.lastModified().toMSecsSinceEpoch()});
        m_bytes += info.size();
    }
    evictBeyond(m_maxBytes);
}

void AnswerCache::clear() {
    ++m_generation;
    m_teacherFolder.clear();
    m_entries.clear();
    m_bytes = 0;
    removeAll();
}

void AnswerCache::removeAll() {
    if (m_folder.isEmpty())
        return;
    waitForWrites();
    const QDir root(m_folder);
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isTeacherFolderName(name))
            QDir(root.filePath(name)).removeRecursively();
    }
}

QString AnswerCache::pathOf(const QString &operation, const QByteArray &form) const {
    return QDir(m_teacherFolder)
        .filePath(hashName(operation.toUtf8() + '\n' + form, 64) + QStringLiteral(".json"));
}

qint64 AnswerCache::nextStamp() {
    m_lastStamp = std::max(QDateTime::currentMSecsSinceEpoch(), m_lastStamp + 1);
    return m_lastStamp;
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
    m_writer->start([path, bytes] {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            qCDebug(lcAnswerCache) << "answer not kept:" << file.errorString();
            return;
        }
        QFile::setPermissions(path, OwnerOnlyFile);
    });
    m_bytes -= m_entries.value(path).bytes;
    m_entries.insert(path, {bytes.size(), now});
    m_bytes += bytes.size();
    evictBeyond(m_maxBytes);
}

std::optional<AnswerCache::Kept> AnswerCache::find(const QString &operation,
                                                   const QByteArray &form) {
    if (!isOpen())
        return std::nullopt;
    // Rare (a call failed) and small: what is on its way to the disk is read as written.
    waitForWrites();
    const QString path = pathOf(operation, form);
    QFile file(path);
    if (!file.exists()) {
        forget(path); // a write that failed
        return std::nullopt;
    }
    if (file.size() > MaxAnswerBytes || !file.open(QIODevice::ReadOnly)) {
        forget(path);
        return std::nullopt;
    }
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonValue receivedAt = record.value(QLatin1String("receivedAt"));
    const QJsonValue answer = record.value(QLatin1String("answer"));
    if (!receivedAt.isDouble() || !isAccepted(answer)) {
        file.close();
        forget(path);
        return std::nullopt;
    }
    const qint64 now = nextStamp();
    file.setFileTime(QDateTime::fromMSecsSinceEpoch(now), QFileDevice::FileModificationTime);
    if (!m_entries.contains(path))
        m_bytes += file.size();
    m_entries.insert(path, {file.size(), now});
    return Kept{answer, QDateTime::fromMSecsSinceEpoch(qint64(receivedAt.toDouble()))};
}

void AnswerCache::forget(const QString &path) {
    QFile::remove(path);
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend())
        return;
    m_bytes -= it->bytes;
    m_entries.erase(it);
}

void AnswerCache::evictBeyond(qint64 bytes) {
    if (m_bytes <= bytes)
        return;
    waitForWrites();
    std::vector<std::pair<qint64, QString>> byUse;
    byUse.reserve(m_entries.size());
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        byUse.emplace_back(it->lastUsed, it.key());
    std::sort(byUse.begin(), byUse.end());
    // Down to nine tenths, so that a full cache does not sort itself on every answer.
    const qint64 goal = bytes - bytes / 10;
    for (const auto &[lastUsed, path] : byUse) {
        if (m_bytes <= goal)
            break;
        forget(path);
    }
}

std::optional<QDateTime> AnswerCache::deliveringKeptFrom() {
    return s_deliveringKeptFrom;
}

void AnswerCache::deliverKept(const QDateTime &receivedAt, const std::function<void()> &deliver) {
    const std::optional<QDateTime> outer = s_deliveringKeptFrom;
    s_deliveringKeptFrom = receivedAt;
    deliver();
    s_deliveringKeptFrom = outer;
}

void AnswerCache::resetForTests() {
    waitForWrites();
    setFolder(QString());
    m_maxBytes = MaxBytes;
    s_deliveringKeptFrom.reset();
}
