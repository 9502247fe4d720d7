#pragma once

#include "PullControl.h"

#include <QDateTime>

// Pull-down refresh control of a list or grid. On a desktop the pull is made with the wheel or a
// trackpad (scrolling up past the top; released when the scrolling stops), a mouse drag down at the
// top of the list, or F5 (in the list, or anywhere in the window that does not take F5 itself).
// The time of the last completed refresh is one value
// for every list, kept in the settings store across runs.
class RefreshHeader : public PullControl {
    Q_OBJECT
public:
    enum class State { Idle, Pulling, WillRefresh, Refreshing };
    Q_ENUM(State)

    static constexpr int Height = 60;
    static constexpr int Threshold = 60;

    // The header of `area`, made on the first call; a later call replaces the action. nullptr for
    // a null area.
    static RefreshHeader *attach(QAbstractScrollArea *area, std::function<void()> action);
    static RefreshHeader *of(const QAbstractScrollArea *area);
    // Begins refreshing the largest list shown in `window`; false when no list there has a header.
    static bool refreshListShownIn(QWidget *window);
    // The header refreshListShownIn() would begin, or nullptr.
    static RefreshHeader *listShownIn(QWidget *window);

    void beginRefreshing() { begin(); }
    // Records the refresh time (when a refresh was running) and goes back to idle.
    void endRefreshing() { end(); }
    bool isRefreshing() const { return phase() == Phase::Busy; }
    State state() const;

    QString stateText() const;
    QString lastUpdatedText() const;

    // "最后更新：..." for a last refresh at `last` seen at `now` (an invalid `last` reads as none).
    static QString lastUpdatedText(const QDateTime &last, const QDateTime &now);
    // The stored time of the last completed refresh; invalid when none or unreadable.
    static QDateTime lastUpdated();
    // The clock the headers read; tests set a fixed one, an empty function restores the real one.
    static void setClock(std::function<QDateTime()> clock);
    static QDateTime now();
    static QString settingsKey();

signals:
    void stateChanged(RefreshHeader::State state);

protected:
    void phaseChanged(Phase from, Phase to) override;
    QStringList lines() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class PullControl; // attachTo() makes it
    explicit RefreshHeader(QAbstractScrollArea *area);
};
