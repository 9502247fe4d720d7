#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

// Pull-up load-more control below the end of a list or grid: scrolling down past the end (wheel,
// trackpad or a mouse drag) and releasing runs the action once. It never marks the end of the
// data, so it stays available after the last page.
class LoadMoreFooter : public QWidget {
    Q_OBJECT
public:
    enum class State { Idle, Pulling, WillLoad, Loading };
    Q_ENUM(State)

    static constexpr int Height = 44;
    static constexpr int Threshold = 44;
    static constexpr int ReleaseDelayMs = 300;

    static LoadMoreFooter *attach(QAbstractScrollArea *area, std::function<void()> action);
    static LoadMoreFooter *of(QAbstractScrollArea *area);

    void beginRefreshing();
    void endRefreshing();
    bool isRefreshing() const;
    State state() const;
    int pullDistance() const;
    QString stateText() const;

signals:
    void stateChanged(LoadMoreFooter::State state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    LoadMoreFooter(QAbstractScrollArea *area);
    bool atBottom() const;
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
    QLabel *m_label = nullptr;
    qreal m_spin = 0;
    QTimer m_spinTimer;
};
