#include "LoadMoreFooter.h"

LoadMoreFooter::LoadMoreFooter(QAbstractScrollArea *area)
    : PullControl(area, Edge::Bottom, Height, Threshold) {
    setObjectName(QStringLiteral("LoadMoreFooter"));
}

LoadMoreFooter *LoadMoreFooter::attach(QAbstractScrollArea *area, std::function<void()> action) {
    if (!area)
        return nullptr;
    LoadMoreFooter *footer = of(area);
    if (!footer)
        footer = new LoadMoreFooter(area);
    footer->setAction(std::move(action));
    return footer;
}

LoadMoreFooter *LoadMoreFooter::of(const QAbstractScrollArea *area) {
    return qobject_cast<LoadMoreFooter *>(find(area, Edge::Bottom));
}

LoadMoreFooter::State LoadMoreFooter::state() const {
    switch (phase()) {
    case Phase::Idle:
        return State::Idle;
    case Phase::Pulling:
        return State::Pulling;
    case Phase::Armed:
        return State::WillLoad;
    case Phase::Busy:
        return State::Loading;
    }
    return State::Idle;
}

QString LoadMoreFooter::stateText() const {
    switch (state()) {
    case State::WillLoad:
        return QStringLiteral("松开立即加载更多");
    case State::Loading:
        return QStringLiteral("正在加载...");
    case State::Idle:
    case State::Pulling:
        break;
    }
    return QStringLiteral("上拉可以加载更多");
}

void LoadMoreFooter::phaseChanged(Phase, Phase) {
    emit stateChanged(state());
}

QStringList LoadMoreFooter::lines() const {
    return {stateText()};
}
