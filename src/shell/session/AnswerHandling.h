#pragma once

#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "KeyValueMapping.h"
#include "ProgressHud.h"
#include "ServiceTypes.h"
#include "TeacherRequestManager.h"
#include "records/BaseRecords.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <type_traits>

class LoadMoreFooter;
class QObject;
class RefreshHeader;

// The one way a screen handles a service answer. Build it where the call is made and let it send
// the request record, which names its operation:
//
//     AnswerHandler<GetFeelListRsp>(this)
//         .endingRefresh(m_header, m_footer)
//         .onSuccess([this](const GetFeelListRsp &rsp) { showRows(rsp); })
//         .sendShowingHud(req);
//
// (send() without the progress indicator; completion() and failure() hand the two callbacks to
// whatever else delivers the answer, such as a paged list.)
//
// On an answer: the HUD goes, the refresh controls end, the JSON is mapped into Rsp (an answer
// without a value maps to a default Rsp: result 0, no msg), result 1 runs the success code and
// anything else shows msg in a toast (nothing when msg is absent or empty) or runs the custom
// refusal handler instead. On a transport failure: the HUD goes, the controls end, the toast
// "无网络连接" shows (for an answer beyond the transport's size limit "数据过多，无法显示"), then
// the optional failure code runs. The failure text is never shown. A call cut by a sign-out or
// the program quitting (a cancellation) runs nothing at all.
// A read whose call failed may instead be answered with what the service said earlier
// (AnswerCache): it is handled as a success, and the screen shows the offline bar until one of
// its calls is answered anew.
//
// The screen is held through a QPointer: once it is destroyed, the answer only takes down the HUD
// (a spinner must not outlive its call) and runs the onAccepted step, and touches nothing else.
// What an accepted change means beyond its screen (a notification that other lists reload on)
// belongs in onAccepted, so a teacher who leaves before the answer loses nothing. A null screen
// means the owner lives for the whole run.
namespace AnswerHandling {

inline const QString NoNetworkText = QStringLiteral("无网络连接");
inline const QString TooLargeText = QStringLiteral("数据过多，无法显示");

// Shows the refusal message of an answer in a toast; nothing for an absent or empty msg.
void showRefusal(const BaseRsp &answer);
// The toast of a transport failure.
void showNoNetwork();
// The toast of a failure with this text: TooLargeText for an answer refused for its size, else
// NoNetworkText.
void showFailure(const QString &failureText);

// The answer as Rsp: mapped already while it was decoded when the transport delivers it, else
// here.
template <class Rsp> Rsp mapped(const QJsonValue &value) {
    if (const void *ready = BaseAFHttpManager::takeDeliveringRecord(Rsp::recordType()))
        return *static_cast<const Rsp *>(ready);
    return KeyValueMapping::recordFromJson<Rsp>(value);
}

// The steps shared by every answer type (non-template, AnswerHandling.cpp).
struct Common {
    QPointer<QObject> screen;
    bool guarded = false;
    bool dismissHud = false;
    QPointer<RefreshHeader> header;
    QPointer<LoadMoreFooter> footer;

    bool screenAlive() const { return !guarded || !screen.isNull(); }
    // HUD and refresh controls; true when the screen may still be touched.
    bool settle();
    // An accepted answer reached a live screen: the offline bar shows when it was kept from an
    // earlier call (keptFrom), and goes when it is new.
    void showWhereFrom(const std::optional<QDateTime> &keptFrom) const;
};

} // namespace AnswerHandling

// Lets an answer (AnswerHandler, a list's PageAnswer) send the request it is the answer to, with
// the operation the catalogue lists the request record under. A handler for another record than
// that operation answers does not compile.
template <class Answer, class Rsp> class SendsRequest {
public:
    template <class Req> void send(const Req &request) const {
        static_assert(std::is_same_v<Rsp, typename CatalogueEntry<Req>::Answer>,
                      "this request's operation answers another record");
        const Answer &answer = static_cast<const Answer &>(*this);
        TeacherRequestManager::request(request, answer.completion(), answer.failure());
    }
    // The same under the progress indicator, which goes when the answer or the failure comes.
    template <class Req> void sendShowingHud(const Req &request) const {
        Answer answer = static_cast<const Answer &>(*this); // a copy shares the handling
        answer.dismissingHud();
        ProgressHud::show();
        answer.send(request);
    }
};

template <class Rsp> class AnswerHandler : public SendsRequest<AnswerHandler<Rsp>, Rsp> {
public:
    explicit AnswerHandler(QObject *screen)
        : m_state(std::make_shared<State>()) {
        m_state->common.screen = screen;
        m_state->common.guarded = screen != nullptr;
    }

    // A ProgressHud was shown for this call: take it down when the answer or the failure comes.
    AnswerHandler &dismissingHud(bool dismiss = true) {
        m_state->common.dismissHud = dismiss;
        return *this;
    }
    // End these refresh controls (either may be null) in both cases.
    AnswerHandler &endingRefresh(RefreshHeader *header, LoadMoreFooter *footer = nullptr) {
        m_state->common.header = header;
        m_state->common.footer = footer;
        return *this;
    }
    AnswerHandler &onSuccess(std::function<void(const Rsp &)> success) {
        m_state->success = std::move(success);
        return *this;
    }
    // Runs on result 1 before onSuccess, even when the screen has gone meanwhile: for effects
    // that outlive the screen (notifications, shared state). It must not capture the screen.
    AnswerHandler &onAccepted(std::function<void(const Rsp &)> accepted) {
        m_state->accepted = std::move(accepted);
        return *this;
    }
    // Replaces the msg toast for every result other than 1 (login tells 2 and 0 apart).
    AnswerHandler &onRefusal(std::function<void(const Rsp &)> refusal) {
        m_state->refusal = std::move(refusal);
        return *this;
    }
    // Runs after the standard failure handling (e.g. to enable a button again).
    AnswerHandler &onFailure(std::function<void()> failure) {
        m_state->failure = std::move(failure);
        return *this;
    }

    ServiceCompletion completion() const {
        return [state = m_state](const std::optional<QJsonValue> &value) {
            const std::optional<QDateTime> keptFrom = AnswerCache::deliveringKeptFrom();
            const bool alive = state->common.settle();
            if (!alive && !state->accepted)
                return;
            const Rsp answer = value ? AnswerHandling::mapped<Rsp>(*value) : Rsp();
            if (answer.result == 1 && state->accepted)
                state->accepted(answer);
            if (!alive)
                return;
            if (answer.result == 1) {
                state->common.showWhereFrom(keptFrom);
                if (state->success)
                    state->success(answer);
            } else if (state->refusal) {
                state->refusal(answer);
            } else {
                AnswerHandling::showRefusal(answer);
            }
        };
    }

    ServiceFailure failure() const {
        return [state = m_state](const QString &text) {
            // A call cut by a sign-out or the program quitting: the screens that asked are being
            // left, and the progress indicator already belongs to whatever comes next.
            if (BaseAFHttpManager::isCancellation(text))
                return;
            if (!state->common.settle())
                return;
            AnswerHandling::showFailure(text);
            if (state->failure)
                state->failure();
        };
    }

private:
    struct State {
        AnswerHandling::Common common;
        std::function<void(const Rsp &)> accepted;
        std::function<void(const Rsp &)> success;
        std::function<void(const Rsp &)> refusal;
        std::function<void()> failure;
    };
    std::shared_ptr<State> m_state;
};
