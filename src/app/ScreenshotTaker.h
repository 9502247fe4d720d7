#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

// Saves a picture of a window once the client has settled: no service call or image download
// in flight, no animation running and no progress indicator up, for one second without a break.
// A client that never settles is pictured after MaxWaitMs anyway.
class ScreenshotTaker : public QObject {
    Q_OBJECT
public:
    static constexpr int SettleMs = 1000;
    static constexpr int MaxWaitMs = 15000;
    static constexpr int PollMs = 100;

    ScreenshotTaker(QWidget *window, const QString &fileName, QObject *parent = nullptr);

    void start();
    // Whether nothing is going on right now.
    static bool isIdle();

signals:
    // 0 when the file was written; the message says what happened either way.
    void finished(int exitCode, const QString &message);

private:
    void poll();
    void capture(bool settled);

    QPointer<QWidget> m_window;
    QString m_fileName;
    QTimer m_timer;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_idleFor;
    bool m_wasIdle = false;
};
