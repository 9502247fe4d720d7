#pragma once

#include <QAbstractScrollArea>
#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

// Pull-down refresh control of a list or grid. On a desktop the pull is made with the wheel or a
// trackpad (scrolling up past the top; the pull is released when the scrolling stops), a mouse drag
// on the list, or F5. The time of the last completed refresh is one value for every list, kept in
// the settings store across runs.
class RefreshHeader : public QWidget {
    Q_OBJECT
public:
    enum class State { Idle, Pulling, WillRefresh, Refreshing };
    Q_ENUM(State)

    static constexpr int Height = 60;
    static constexpr int Threshold = 60;
    static constexpr int ReleaseDelayMs = 300;

    // The header of `area`, made on the first call; a later call replaces the action. nullptr for
    // a null area.
    static RefreshHeader *attach(QAbstractScrollArea *area, std::function<void()> action);
    static RefreshHeader *of(QAbstractScrollArea *area);

    void beginRefreshing();
    void endRefreshing();
    bool isRefreshing() const;
    State state() const;
    int pullDistance() const;

    QString stateText() const;
    QString lastUpdatedText() const;

    // "最后更新：..." for a last refresh at `last` seen at `now` (an invalid `last` reads as none).
    static QString lastUpdatedText(const QDateTime &last, const QDateTime &now);
    static QDateTime lastUpdated();
    // The clock the header reads; tests set a fixed one, an empty function restores the real one.
    static void setClock(std::function<QDateTime()> clock);
    static QDateTime now();
    static QString settingsKey();

signals:
    void stateChanged(RefreshHeader::State state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    RefreshHeader(QAbstractScrollArea *area);
    bool atTop() const;
    void setPull(int distance);
    void release();
    void setState(State state);
    void relayout();

    QPointer<QAbstractScrollArea> m_area;
    std::function<void()> m_action;
    State m_state = State::Idle;
    int m_pull = 0;
    bool m_dragging = false;
    int m_dragStartY = 0;
    QTimer m_releaseTimer;
    QLabel *m_stateLabel = nullptr;
    QLabel *m_timeLabel = nullptr;
    qreal m_spin = 0;
    QTimer m_spinTimer;
};
