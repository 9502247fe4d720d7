#include "GradePost.h"

#include "BaseAFHttpManager.h"
#include "FeelRows.h"
#include "GradeVocabulary.h"
#include "HeldChanges.h"
#include "KeyValueMapping.h"
#include "LoginState.h"
#include "NotificationCenter.h"
#include "ShellState.h"
#include "TeacherRequestManager.h"
#include "Toast.h"

#include <QCoreApplication>

namespace GradePost {
namespace {

bool s_acceptedSinceNotice = false;

// One reload for every grade answered together: thirty grades of a batch are one notification.
void noticeWhenQuiet() {
    static const bool connected = [] {
        // A grade answered in one test is no reason to reload in the next.
        ShellState::addReset([] { s_acceptedSinceNotice = false; });
        QObject::connect(&HeldChanges::instance(), &HeldChanges::quiet, [] {
            if (std::exchange(s_acceptedSinceNotice, false))
                NotificationCenter::post(NOTIFICATION_UPDATE_GRADE);
        });
        return true;
    }();
    Q_UNUSED(connected);
}

HeldChanges::Send sender(qint64 uid, qint64 feelId, int code) {
    return [uid, feelId, code](HeldChanges::Answered answered) {
        UpdateFeelReq request;
        request.uid = uid;
        request.feelId = feelId;
        request.feelType = code;
        TeacherRequestManager::request_UpdateFeel_WithParams(
            request,
            [answered](const std::optional<QJsonValue> &value) {
                const UpdateFeelRsp rsp =
                    value ? KeyValueMapping::recordFromJson<UpdateFeelRsp>(*value)
                          : UpdateFeelRsp();
                if (rsp.result == 1) {
                    s_acceptedSinceNotice = true;
                    answered(true, {});
                    return;
                }
                const QString msg = rsp.msg.value_or(QString());
                answered(false, msg.isEmpty()
                                    ? QCoreApplication::translate("GradePost", "服务未说明原因")
                                    : msg);
            },
            [answered](const QString &failure) {
                answered(false, BaseAFHttpManager::failureWords(failure));
            });
    };
}

} // namespace

void hold(qint64 feelId, int code) {
    noticeWhenQuiet();
    const HeldChanges::Send send = sender(LoginRsp::shareRsp().uid, feelId, code);
    HeldChanges::instance().hold(
        FeelRows::gradeKey(feelId), code, [send, code](HeldChanges::Answered answered) {
            send([answered, code](bool accepted, const QString &reason) {
                // A call cut by leaving is counted where the teacher left.
                if (!accepted &&
                    reason != BaseAFHttpManager::failureWords(BaseAFHttpManager::CancelledText))
                    //: %1 the grade, %2 why it was not sent.
                    Toast::show(QCoreApplication::translate("GradePost", "「%1」未能发送：%2")
                                    .arg(GradeVocabulary::displayTextForCode(code), reason));
                answered(accepted, reason);
            });
        });
}

void submit(qint64 feelId, int code, Answered answered) {
    noticeWhenQuiet();
    const HeldChanges::Send send = sender(LoginRsp::shareRsp().uid, feelId, code);
    HeldChanges::instance().submit(FeelRows::gradeKey(feelId), code,
                                   [send, answered](HeldChanges::Answered done) {
                                       send([answered, done](bool accepted, const QString &why) {
                                           done(accepted, why);
                                           if (answered)
                                               answered(accepted, why);
                                       });
                                   });
}

int givenCode(qint64 feelId) {
    const QString key = FeelRows::gradeKey(feelId);
    if (HeldChanges::instance().state(key) == HeldChanges::State::None)
        return 0;
    return HeldChanges::instance().value(key).toInt();
}

} // namespace GradePost
