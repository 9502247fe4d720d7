#pragma once

#include "PullControl.h"

// Pull-up load-more control below the end of a list or grid: scrolling down past the end (wheel,
// trackpad or a mouse drag up at the end) and releasing runs the action once. It never marks the
// end of the data, so it stays available after the last page.
class LoadMoreFooter : public PullControl {
    Q_OBJECT
public:
    enum class State { Idle, Pulling, WillLoad, Loading };
    Q_ENUM(State)

    static constexpr int Height = 44;
    static constexpr int Threshold = 44;

    static LoadMoreFooter *attach(QAbstractScrollArea *area, std::function<void()> action);
    static LoadMoreFooter *of(const QAbstractScrollArea *area);

    void beginRefreshing() { begin(); }
    void endRefreshing() { end(); }
    bool isRefreshing() const { return phase() == Phase::Busy; }
    State state() const;
    QString stateText() const;

signals:
    void stateChanged(LoadMoreFooter::State state);

protected:
    void phaseChanged(Phase from, Phase to) override;
    QStringList lines() const override;

private:
    friend class PullControl; // attachTo() makes it
    explicit LoadMoreFooter(QAbstractScrollArea *area);
};
