#pragma once

#include "records/ContentRecords.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QWidget>

#include <functional>

// The reflections the review desk has fetched, the one shown and those ahead of it, so moving on
// shows the next at once: the most recent KeptDetails are kept, with their thumbnails loaded at
// the size the desk draws them. A list switch (drop()) forgets what is still on its way.
class DeskDetails : public QObject {
    Q_OBJECT
public:
    static constexpr int KeptDetails = 32;

    // `view` is the widget the thumbnails are drawn in (its scale) and the answers' guard.
    explicit DeskDetails(QWidget *view);

    const FeelDetailRsp *find(qint64 feelId) const;
    bool has(qint64 feelId) const { return m_details.contains(feelId); }
    QList<qint64> fetching() const { return m_fetching.values(); }

    // Asks for the reflection unless it is kept or on its way. A refusal is shown only for the
    // reflection `shown` says is in view; one fetched ahead is quiet.
    void fetch(qint64 feelId, std::function<bool(qint64)> shown);
    // Whatever is on its way belongs to a list left behind: its answer keeps nothing.
    void drop();

signals:
    void arrived(qint64 feelId);

private:
    void keep(qint64 feelId, const FeelDetailRsp &detail);

    QWidget *m_view;
    QHash<qint64, FeelDetailRsp> m_details;
    QList<qint64> m_order;
    QSet<qint64> m_fetching;
    quint64 m_generation = 0;
};
