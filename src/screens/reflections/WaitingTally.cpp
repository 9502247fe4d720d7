#include "WaitingTally.h"

#include "AnswerHandling.h"
#include "FeelRows.h"
#include "GradeListVC.h"
#include "GradePost.h"
#include "GradeVocabulary.h"
#include "LoginState.h"
#include "TeacherRequestManager.h"

WaitingTally::WaitingTally(QObject *parent)
    : QObject(parent) {}

void WaitingTally::follow(const FeelRows *rows) {
    m_rows = rows;
    m_known = false;
    m_waiting.clear();
    // Whatever was asked before counts no more.
    m_loads.track({}, {});
    if (!rows)
        return;
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (rows->at(row).FeelTypeStr == GradeVocabulary::WaitingText)
            return;
    }
    GetFeelListReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.feelType = GradeListVC::WaitingType;
    const auto answer =
        AnswerHandler<GetFeelListRsp>(this).onSuccess([this](const GetFeelListRsp &rsp) {
            m_waiting.clear();
            for (const GradeListModel &feel :
                 rsp.feelList.value_or(RecordArray<GradeListModel>())) {
                if (feel.FeelTypeStr == GradeVocabulary::WaitingText)
                    m_waiting.append(feel.FeelId);
            }
            m_known = true;
            emit changed();
        });
    const auto [done, failed] = m_loads.track(answer.completion(), answer.failure());
    TeacherRequestManager::request_GetFeelList_WithParams(request, done, failed);
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
