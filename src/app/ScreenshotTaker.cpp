#include "ScreenshotTaker.h"

#include "AppWindow.h"
#include "ScreenProbe.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPixmap>
#include <QWidget>

ScreenshotTaker::ScreenshotTaker(QWidget *window, const QString &fileName, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_fileName(fileName) {
    m_timer.setInterval(PollMs);
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotTaker::poll);
}

void ScreenshotTaker::start() {
    m_sinceStart.start();
    m_wasIdle = false;
    m_timer.start();
}

bool ScreenshotTaker::isIdle() {
    return ScreenProbe::busy(AppWindow::instance()).isIdle();
}

void ScreenshotTaker::poll() {
    if (!m_window) {
        m_timer.stop();
        emit finished(1, QStringLiteral("the window closed before the screenshot was taken"));
        return;
    }
    if (isIdle()) {
        if (!m_wasIdle)
            m_idleFor.start();
        m_wasIdle = true;
        if (m_idleFor.elapsed() >= SettleMs) {
            capture(true);
            return;
        }
    } else {
        m_wasIdle = false;
    }
    if (m_sinceStart.elapsed() >= MaxWaitMs)
        capture(false);
}

void ScreenshotTaker::capture(bool settled) {
    m_timer.stop();
    const QPixmap picture = m_window->grab();
    QImageWriter writer(m_fileName, "png");
    if (picture.isNull() || !writer.write(picture.toImage())) {
        emit finished(1,
                      QStringLiteral("cannot save the screenshot to %1: %2")
                          .arg(m_fileName, picture.isNull() ? QStringLiteral("nothing to capture")
                                                            : writer.errorString()));
        return;
    }
    QString message = QStringLiteral("screenshot saved to %1 (%2 x %3)")
                          .arg(QFileInfo(m_fileName).absoluteFilePath())
                          .arg(picture.width())
                          .arg(picture.height());
    if (!settled)
        message += QStringLiteral("; the client was still busy after %1 s").arg(MaxWaitMs / 1000);
    emit finished(0, message);
}
