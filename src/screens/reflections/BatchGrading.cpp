#include "BatchGrading.h"

#include "GradePost.h"
#include "HeldChanges.h"
#include "Toast.h"

BatchGrading *BatchGrading::start(const QList<qint64> &feelIds, int code) {
    // Owned by the process-wide changes, not by a screen: the batch outlives a Back.
    auto *batch = new BatchGrading(feelIds, code);
    for (qint64 feelId : feelIds) {
        QPointer<BatchGrading> self = batch;
        GradePost::submit(feelId, code, [self, feelId](bool accepted, const QString &reason) {
            if (self)
                self->answered(feelId, accepted, reason);
        });
    }
    return batch;
}

BatchGrading::BatchGrading(const QList<qint64> &feelIds, int code)
    : QObject(&HeldChanges::instance())
    , m_feelIds(feelIds)
    , m_code(code) {}

QString BatchGrading::progressText() const {
    //: Progress of grading several reflections at once: answered so far / all.
    return tr("正在批阅 %1/%2 篇…").arg(m_answered).arg(m_feelIds.size());
}

QString BatchGrading::summaryText() const {
    const int failed = int(m_failed.size());
    if (failed == 0)
        return tr("已批阅 %n 篇", nullptr, int(m_feelIds.size()));
    //: %1 graded, %2 not graded, %3 the reasons.
    return tr("%1 篇已批阅，%2 篇未能批阅：%3")
        .arg(m_feelIds.size() - failed)
        .arg(failed)
        //: Separates the reasons a batch grading gives.
        .arg(m_reasons.join(tr("；")));
}

void BatchGrading::answered(qint64 feelId, bool accepted, const QString &reason) {
    ++m_answered;
    if (!accepted) {
        m_failed.append(feelId);
        if (!m_reasons.contains(reason))
            m_reasons.append(reason);
    }
    if (isRunning()) {
        emit progressed();
        return;
    }
    if (!m_watcher && !m_failed.isEmpty())
        Toast::show(summaryText());
    emit finished();
    deleteLater();
}
