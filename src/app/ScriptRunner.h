#pragma once

#include "Script.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

// Runs a parsed script against the live window, one step at a time, returning to the event loop
// between steps so the client reacts as it would to a person. A step that cannot be done stops
// the run: finished(1, "FILE:LINE: step: why"); all steps done: finished(0, ...). The steps that
// act go through ScriptHand; this class sequences the steps, waits and reads the screen.
//
// "{screen}" in a shot or dump file name becomes the class name of the screen on top.
class ScriptRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int WaitLimitMs = 10000;
    // Settled means idle for this long without a break: long enough for the work a screen starts
    // on the next turn of the event loop (a follow-up request, the images its first paint asks).
    static constexpr int QuietMs = 60;
    static constexpr int PollMs = 5;
    // An await step is for another program to act (stop a service, bring it back), which may
    // take longer than the client's own work.
    static constexpr int AwaitLimitMs = 60000;

    struct Record {
        int line = 0;
        QString source;
        qint64 settledMs = -1; // wait: from the start of the last action step to settled
        // wait: from the same start to the first paint with the content complete (see
        // ScreenProbe::Busy::isContentComplete), however long the slides and drop-downs went on
        // after it; -1 when the content was not complete at settling (a spinner left spinning).
        qint64 readyMs = -1;
        // wait: readyMs again when the content then drawn came from kept answers that were
        // still being refreshed; -1 when it was the service's.
        qint64 keptMs = -1;
        QString file;   // shot, dump: the file written
        QString screen; // the class name of the screen on top when the step ended
    };

    // `window` null: the application's window (AppWindow::instance()) at each step.
    ScriptRunner(QList<ScriptStep> steps, QString scriptName, QWidget *window = nullptr,
                 QObject *parent = nullptr);

    void start();
    // Tests shorten the ten seconds a wait may take.
    void setWaitLimit(int milliseconds) { m_waitLimitMs = milliseconds; }
    bool isRunning() const { return m_running; }
    const QList<Record> &records() const { return m_records; }
    // When start() ran, in milliseconds since the epoch: what the records count from.
    qint64 startedAtMs() const { return m_startedAtMs; }

signals:
    void finished(int exitCode, const QString &message);

protected:
    // Notes the first paint after the content became complete.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window() const;
    void runNext();
    void stepDone();
    void fail(const QString &why);
    void pollWait();
    void pollAwait();
    QString fileName(const QString &pattern) const;

    // Each reads the screen; the reason the step cannot be done, or an empty text when done.
    QString shot(const ScriptStep &step);
    QString dump(const ScriptStep &step);
    QString expect(const ScriptStep &step);

    QList<ScriptStep> m_steps;
    QString m_scriptName;
    QPointer<QWidget> m_window;
    bool m_useAppWindow;
    int m_next = 0;
    bool m_running = false;
    QList<Record> m_records;

    QElapsedTimer m_clock;
    qint64 m_lastActionAt = 0;
    QTimer m_poll;
    QTimer m_awaitPoll;
    int m_waitLimitMs = WaitLimitMs;
    qint64 m_waitStartedAt = 0;
    qint64 m_idleSince = -1;
    // Since when the content has been complete without a break, and the first paint since.
    qint64 m_completeSince = -1;
    qint64 m_startedAtMs = 0;
    bool m_completeFromKeep = false;
    qint64 m_paintedAt = -1;
};
