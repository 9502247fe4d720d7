#include "GradePost.h"

#include "AnswerHandling.h"
#include "FeelRows.h"
#include "HeldChanges.h"
#include "LoginState.h"
#include "NotificationCenter.h"
#include "TeacherRequestManager.h"
#include "Toast.h"

namespace GradePost {

void send(qint64 feelId, int code, Answered answered, bool notify) {
    UpdateFeelReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.feelId = feelId;
    request.feelType = code;
    // No screen: the answer is honoured whatever was closed meanwhile.
    const auto answer = AnswerHandler<UpdateFeelRsp>(nullptr)
                            .onAccepted([notify, answered](const UpdateFeelRsp &) {
                                if (notify)
                                    NotificationCenter::post(NOTIFICATION_UPDATE_GRADE);
                                if (answered)
                                    answered(true, {});
                            })
                            .onRefusal([answered](const UpdateFeelRsp &rsp) {
                                if (answered)
                                    answered(false, rsp.msg.value_or(QString()));
                            })
                            .onFailure([answered] {
                                if (answered)
                                    answered(false, QString());
                            });
    TeacherRequestManager::request_UpdateFeel_WithParams(request, answer.completion(),
                                                         answer.failure());
}

void hold(qint64 feelId, int code) {
    HeldChanges::instance().hold(FeelRows::gradeKey(feelId), code,
                                 [feelId, code](std::function<void(bool)> done) {
                                     send(feelId, code, [done](bool accepted, const QString &msg) {
                                         if (!accepted && !msg.isEmpty())
                                             Toast::show(msg);
                                         done(accepted);
                                     });
                                 });
}

} // namespace GradePost
