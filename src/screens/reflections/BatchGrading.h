#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

// One grade given to many reflections at once. Each goes out through GradePost as a change of
// its own (HeldChanges sends a few at a time), so the batch goes on when the screen that started
// it is left, counts for signing out and quitting, and its rows show the grade at once. The
// batch follows their answers and ends itself; when nobody watches it any more, a failure is
// still told in a toast.
class BatchGrading : public QObject {
    Q_OBJECT
public:
    static BatchGrading *start(const QList<qint64> &feelIds, int code);

    // Whoever shows the progress; without one the summary of failures goes to a toast.
    void setWatcher(QObject *watcher) { m_watcher = watcher; }

    bool isRunning() const { return m_answered < m_feelIds.size(); }
    const QList<qint64> &failed() const { return m_failed; }
    // "正在批阅 k/N 篇…"
    QString progressText() const;
    // "已批阅 N 篇", or "A 篇已批阅，F 篇未能批阅：reasons".
    QString summaryText() const;

signals:
    void progressed();
    void finished();

private:
    BatchGrading(const QList<qint64> &feelIds, int code);
    void answered(qint64 feelId, bool accepted, const QString &reason);

    QList<qint64> m_feelIds;
    int m_code = 0;
    int m_answered = 0;
    QList<qint64> m_failed;
    QStringList m_reasons;
    QPointer<QObject> m_watcher;
};
