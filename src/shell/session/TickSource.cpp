#include "TickSource.h"

#include <QList>
#include <QPointer>
#include <QTimer>

namespace {

bool g_manual = false;

class TimerTickSource : public TickSource {
public:
    explicit TimerTickSource(QObject *parent)
        : TickSource(parent) {
        connect(&m_timer, &QTimer::timeout, this, &TickSource::tick);
    }
    void start(int intervalMs) override { m_timer.start(intervalMs); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

class ManualTickSource : public TickSource {
public:
    explicit ManualTickSource(QObject *parent)
        : TickSource(parent) {
        running().append(this);
    }
    ~ManualTickSource() override { running().removeAll(this); }

    void start(int intervalMs) override {
        m_interval = qMax(1, intervalMs);
        m_elapsed = 0;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    static QList<ManualTickSource *> &running() {
        static QList<ManualTickSource *> sources;
        return sources;
    }

    void advance(int ms) {
        m_elapsed += ms;
        // A tick may stop or delete this source (the countdown's end, a screen that closes).
        QPointer<TickSource> alive(this);
        while (alive && m_active && m_elapsed >= m_interval) {
            m_elapsed -= m_interval;
            emit tick();
        }
    }

private:
    int m_interval = 1000;
    int m_elapsed = 0;
    bool m_active = false;
};

} // namespace

TickSource *TickSource::create(QObject *parent) {
    if (g_manual)
        return new ManualTickSource(parent);
    return new TimerTickSource(parent);
}

void TickSource::setManual(bool manual) {
    g_manual = manual;
}

bool TickSource::isManual() {
    return g_manual;
}

void TickSource::advance(int ms) {
    // Sources made or deleted by a tick are left out of this step.
    const QList<ManualTickSource *> sources = ManualTickSource::running();
    QList<QPointer<ManualTickSource>> guarded(sources.cbegin(), sources.cend());
    for (const QPointer<ManualTickSource> &source : guarded) {
        if (source)
            source->advance(ms);
    }
}
