#pragma once

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
// <folder>/<teacher>/<name>.json, where both names are hashes (of the uid, of the operation and
// its form), so no text from the service or the teacher ever becomes part of a path. Folders are
// 0700 and files 0600: the answers hold pupils' names and writing. The cache holds one teacher at
// a time, at most MaxBytes; the answers used least recently leave first. Files are written on a
// thread of their own, one after the other: a write waits for the disk, a screen must not.
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

    // Where answers are kept. Empty (the default) keeps nothing: the tools, the development
    // service and the tests that do not ask for it never touch a disk.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

    // A teacher signed in: their answers are kept from now on, those of anybody else are removed.
    void openFor(qint64 uid);
    // At start-up, before the automatic sign-in is answered: the teacher who was signed in when
    // the program last ran, so that a sign-in the network cannot bring can be answered too.
    // Nothing when no teacher, or more than one, has answers kept.
    void resumeLastTeacher();
    // Sign-out: every answer is removed and none is kept until the next openFor.
    void clear();
    bool isOpen() const { return !m_teacherFolder.isEmpty(); }
    bool isOn() const { return !m_folder.isEmpty(); }
    // Changes with every openFor and clear: an answer to a call made before belongs to nobody now.
    quint64 generation() const { return m_generation; }

    // Keeps an accepted answer (an object with result 1) of the generation given; anything else,
    // an answer too large, or a disk that refuses leaves the cache as it was.
    void store(quint64 generation, const QString &operation, const QByteArray &form,
               const QJsonValue &answer);
    // The kept answer and when it came; nothing for no answer or a file that is not one of ours
    // (which is removed).
    std::optional<Kept> find(const QString &operation, const QByteArray &form);

    // The bound on disk; MaxBytes unless a test wants to reach it with less.
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }
    qint64 bytesKept() const { return m_bytes; }
    int answersKept() const { return int(m_entries.size()); }

    // While `deliver` runs a kept answer is handed over in place of one the network could not
    // bring: receivedAt of that answer. Screens show it as "offline since".
    static std::optional<QDateTime> deliveringKeptFrom();
    static void deliverKept(const QDateTime &receivedAt, const std::function<void()> &deliver);

    // Until every answer handed to the disk is written (or has failed to be).
    void waitForWrites();

    // No folder, nothing open, nothing in memory, the bound back to MaxBytes; the files stay.
    void resetForTests();

private:
    AnswerCache();
    ~AnswerCache();

    struct Entry {
        qint64 bytes = 0;
        qint64 lastUsed = 0; // msecs since the epoch, mirrored in the file's modification time
    };

    // Opens the teacher folder of that name, reading what it holds.
    void open(const QString &name);
    QString pathOf(const QString &operation, const QByteArray &form) const;
    // The time now, but always later than the last one handed out: the order of use survives
    // two uses in one millisecond.
    qint64 nextStamp();
    void forget(const QString &path);
    void evictBeyond(qint64 bytes);
    void removeAll();

    QString m_folder;
    QString m_teacherFolder;
    quint64 m_generation = 0;
    QHash<QString, Entry> m_entries; // by file path
    qint64 m_bytes = 0;
    qint64 m_maxBytes = MaxBytes;
    qint64 m_lastStamp = 0;
    std::unique_ptr<QThreadPool> m_writer;
};
