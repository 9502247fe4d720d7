#include "WaitingTally.h"

#include "FeelRows.h"
#include "GradeListVC.h"
#include "GradePost.h"
#include "GradeVocabulary.h"
#include "KeyValueMapping.h"
#include "LoginState.h"
#include "TeacherRequestManager.h"

#include <QPointer>

WaitingTally::WaitingTally(QObject *parent)
    : QObject(parent) {}

void WaitingTally::follow(const FeelRows *rows) {
    m_rows = rows;
    m_known = false;
    m_waiting.clear();
    // Whatever was asked before counts no more.
    const quint64 ask = ++m_ask;
    if (!rows)
        return;
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (rows->at(row).FeelTypeStr == GradeVocabulary::WaitingText)
            return;
    }
    GetFeelListReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.feelType = GradeListVC::WaitingType;
    // A count beside the list: its failure is the list's to tell, so it says nothing itself.
    QPointer<WaitingTally> self = this;
    TeacherRequestManager::request_GetFeelList_WithParams(
        request,
        [self, ask](const std::optional<QJsonValue> &value) {
            if (!self || ask != self->m_ask || !value)
                return;
            const auto rsp = KeyValueMapping::recordFromJson<GetFeelListRsp>(*value);
            if (rsp.result != 1)
                return;
            self->m_waiting.clear();
            for (const GradeListModel &feel :
                 rsp.feelList.value_or(RecordArray<GradeListModel>())) {
                if (feel.FeelTypeStr == GradeVocabulary::WaitingText)
                    self->m_waiting.append(feel.FeelId);
            }
            self->m_known = true;
            emit self->changed();
        },
        [](const QString &) {});
}

int WaitingTally::count() const {
    int waiting = 0;
    if (m_known) {
        for (qint64 feelId : m_waiting)
            waiting += GradePost::givenCode(feelId) == 0 ? 1 : 0;
    } else if (m_rows) {
        for (int row = 0; row < m_rows->rowCount(); ++row)
            waiting += m_rows->isWaiting(row) ? 1 : 0;
    }
    return waiting;
}
