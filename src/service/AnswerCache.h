#pragma once

#include "ServiceTypes.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonValue>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

// The last accepted answer to each read, kept on disk for the teacher signed in, so that a screen
// still has something to show when the network is gone. Main thread only.
//
// <folder>/<teacher>/<name>.json, where both names are hashes (of the service's address and the
// uid, of the operation and its form), so no text from the service or the teacher ever becomes
// part of a path and one service's answers never stand in for another's. Folders are 0700 from
// their creation and files 0600: the answers hold pupils' names and writing. The cache holds one
// teacher at a time, at most MaxBytes; the answers used least recently leave first, the sign-in
// never. Files are written and removed on a thread of their own, in order; what is still on its
// way is answered from memory, so a screen never waits for the disk. Only regular files are
// read, never more than MaxAnswerBytes; a folder that is a symbolic link keeps nothing.
class AnswerCache {
public:
    static constexpr qint64 MaxBytes = 50LL * 1024 * 1024;
    // Lists come a page or a class at a time, a few kilobytes each; an answer far beyond that is
    // not worth a tenth of the cache, and is never read back into memory either.
    static constexpr qint64 MaxAnswerBytes = 4LL * 1024 * 1024;

    struct Kept {
        QJsonValue answer;
        QDateTime receivedAt;
    };

    static AnswerCache &instance();

    // Where answers are kept, and for which service (its base URL). Empty (the default) keeps
    // nothing: the tools, the development service and the tests that do not ask for it never
    // touch a disk.
    void setFolder(const QString &folder, const QString &service = ServiceBaseURL());
    QString folder() const { return m_folder; }

    // The folder name of a teacher of a service: 32 hex digits, the first 16 of them naming the
    // service alone. Pictures are kept under the same name (ImageLoader).
    static QString teacherName(const QString &service, qint64 uid);

    // A teacher signed in: their answers are kept from now on, those of anybody else (another
    // teacher, or the same uid at another service) are removed.
    void openFor(qint64 uid);
    // At start-up, before the automatic sign-in is answered: the teacher who was signed in when
    // the program last ran, so that a sign-in the network cannot bring can be answered too.
    // Nothing when no teacher of this service, or more than one, has answers kept.
    void resumeLastTeacher();
    // Sign-out: every answer is removed and none is kept until the next openFor.
    void clear();
    bool isOpen() const { return !m_teacherFolder.isEmpty(); }
    bool isOn() const { return !m_folder.isEmpty(); }
    // Changes with every openFor and clear: an answer to a call made before belongs to nobody now.
    quint64 generation() const { return m_generation; }

    // Keeps an accepted answer (an object with result 1) of the generation given; anything else
    // or a disk that refuses leaves the cache as it was, and an answer too large removes the one
    // kept before. The answer of the catalogue's sign-in operation is never evicted.
    void store(quint64 generation, const QString &operation, const QByteArray &form,
               const QJsonValue &answer);
    // The kept answer and when it came; nothing for no answer or a file that is not one of ours
    // (which is removed).
    std::optional<Kept> find(const QString &operation, const QByteArray &form);

    // The bound on disk; MaxBytes unless a test wants to reach it with less.
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }
    qint64 bytesKept() const { return m_bytes; }
    int answersKept() const { return int(m_entries.size()); }

    // Until every answer handed to the disk is written or removed (or has failed to be).
    void waitForWrites();
    // For tests: runs `task` on the writer thread, in turn with the writes.
    void runOnWriter(std::function<void()> task);

    // No folder, nothing open, nothing in memory, the bound back to MaxBytes; the files stay.
    void resetForTests();

private:
    AnswerCache();
    ~AnswerCache();

    struct Entry {
        qint64 bytes = 0;
        qint64 lastUsed = 0; // msecs since the epoch, mirrored in the file's modification time
        bool pinned = false; // the sign-in: evicted, the program could not start offline
    };
    struct Writer;

    // Nothing open, and a new generation.
    void close();
    // False, with one warning a run, when the answers folder cannot be made or is a link.
    bool rootUsable();
    // Keeps nothing from now on (a folder is a link, or cannot be made); false.
    bool refuse(const QString &path);
    // Every teacher folder but that one, links left alone.
    void removeTeachersBut(const QString &name);
    // Opens the teacher folder of that name, reading what it holds.
    void open(const QString &name);
    // Drops the writes not yet begun and waits for the one under way: for a teacher who goes.
    void dropQueuedWrites();
    QString pathOf(const QString &operation, const QByteArray &form) const;
    // The time now, but always later than the last one handed out: the order of use survives
    // two uses in one millisecond.
    qint64 nextStamp();
    // Queues the file's removal; from now on it is not there.
    void forget(const QString &path);
    void queue(const QString &path, const QByteArray &bytes);
    void evictBeyond(qint64 bytes);
    void removeAll();

    QString m_folder;
    QString m_service;
    QString m_teacherFolder;
    bool m_refused = false; // a linked folder: nothing is kept this run
    quint64 m_generation = 0;
    QHash<QString, Entry> m_entries; // by file path
    qint64 m_bytes = 0;
    qint64 m_maxBytes = MaxBytes;
    qint64 m_lastStamp = 0;
    std::shared_ptr<Writer> m_queued;
    std::unique_ptr<QThreadPool> m_writer;
};

// Makes `path`, and every missing folder above it, readable by the user only from the moment each
// is made, and `path` so if it was there already. False, touching nothing, when `path` is a
// symbolic link or not a folder.
bool makeOwnerOnlyFolder(const QString &path);
