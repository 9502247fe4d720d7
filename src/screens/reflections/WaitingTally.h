#pragma once

#include <QList>
#include <QObject>

class FeelRows;

// How many of the teacher's reflections still wait for a grade, whichever list is in view: a
// list that holds waiting reflections counts its own rows; one that holds none (the graded list)
// asks the service for the waiting list. Grades given in this run (held, on their way, accepted)
// no longer wait.
class WaitingTally : public QObject {
    Q_OBJECT
public:
    explicit WaitingTally(QObject *parent);

    // The list in view changed or reloaded; asks the service when the list cannot tell.
    void follow(const FeelRows *rows);
    int count() const;

signals:
    void changed();

private:
    const FeelRows *m_rows = nullptr;
    QList<qint64> m_waiting;
    bool m_known = false;
    quint64 m_ask = 0; // the latest request; an older answer counts no more
};
