#pragma once

#include <QObject>

// A repeating tick for countdowns that the user watches (the verification-code button). A real
// timer in the running client; after TickSource::setManual(true) every source made from then on
// ticks only when advance() says so, so tests and scripted tours move time without waiting.
class TickSource : public QObject {
    Q_OBJECT
public:
    // A new source of the current kind, owned by `parent`.
    static TickSource *create(QObject *parent);

    static void setManual(bool manual);
    static bool isManual();
    // Moves every running manual source on by `ms`: each ticks once per whole interval passed.
    static void advance(int ms);

    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void tick();

protected:
    using QObject::QObject;
};
