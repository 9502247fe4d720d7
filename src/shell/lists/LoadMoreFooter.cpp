#include "LoadMoreFooter.h"

LoadMoreFooter::LoadMoreFooter(QAbstractScrollArea *area)
    : PullControl(area, Edge::Bottom, Height, Threshold) {
    setObjectName(QStringLiteral("LoadMoreFooter"));
}

LoadMoreFooter *LoadMoreFooter::attach(QAbstractScrollArea *area, std::function<void()> action) {
    return attachTo<LoadMoreFooter>(area, Edge::Bottom, std::move(action));
}

LoadMoreFooter *LoadMoreFooter::of(const QAbstractScrollArea *area) {
    return qobject_cast<LoadMoreFooter *>(find(area, Edge::Bottom));
}

LoadMoreFooter::State LoadMoreFooter::state() const {
    // The states are the phases under this control's own names.
    static_assert(int(State::WillLoad) == int(Phase::Armed) &&
                  int(State::Loading) == int(Phase::Busy));
    return State(int(phase()));
}

QString LoadMoreFooter::stateText() const {
    // Asked at every paint: the strip follows a language change by itself.
    return phaseText(tr("上拉可以加载更多"), tr("松开立即加载更多"), tr("正在加载..."));
}

void LoadMoreFooter::phaseChanged(Phase, Phase) {
    emit stateChanged(state());
}

QStringList LoadMoreFooter::lines() const {
    return {stateText()};
}
