#pragma once

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
// its calls is answered anew. A handler asked keptFirst() (a screen that opens) is handed the kept
// answer at once and then the service's: its success code runs twice and must draw the second
// over the first in place; no progress indicator shows for a call with a kept answer.
//
// The screen is held through a QPointer: once it is destroyed, the answer only takes down the HUD
// (a spinner must not outlive its call) and runs the onAccepted step, and touches nothing else.
// What an accepted change means beyond its screen (a notification that other lists reload on)
// belongs in onAccepted, so a teacher who leaves before the answer loses nothing. A null screen
// means the owner lives for the whole run.
namespace AnswerHandling {

// Source texts: the toasts show them translated (context "AnswerHandling").
inline const QString NoNetworkText =
    QString::fromUtf8(QT_TRANSLATE_NOOP("AnswerHandling", "无网络连接"));
inline const QString TooLargeText =
    QString::fromUtf8(QT_TRANSLATE_NOOP("AnswerHandling", "数据过多，无法显示"));

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

    bool keptFirst = false;

    bool screenAlive() const { return !guarded || !screen.isNull(); }
    // HUD and refresh controls; true when the screen may still be touched.
    bool settle();
    // An accepted answer reached a live screen: the offline bar shows when it was kept in place
    // of a failed call, and for one handed over ahead of the service's that is old
    // (OfflineBar::isOld); it goes when the service's own comes.
    void showWhereFrom(const std::optional<KeptDelivery> &kept) const;
};

} // namespace AnswerHandling

// Lets an answer (AnswerHandler, a list's PageAnswer) send the request it is the answer to, with
// the operation the catalogue lists the request record under. A handler for another record than
// that operation answers does not compile.
template <class Answer, class Rsp> class SendsRequest {
public:
    // True when a kept answer comes first (the answer asked keptFirst and one is kept).
    template <class Req> bool send(const Req &request) const {
        static_assert(std::is_same_v<Rsp, typename CatalogueEntry<Req>::Answer>,
                      "this request's operation answers another record");
        const Answer &answer = static_cast<const Answer &>(*this);
        return TeacherRequestManager::request(request, answer.completion(), answer.failure(),
                                              answer.fetch());
    }
    // The same under the progress indicator, which goes when the answer or the failure comes;
    // with a kept answer coming first there is content to show at once and no indicator.
    template <class Req> bool sendShowingHud(const Req &request) const {
        Answer answer = static_cast<const Answer &>(*this); // a copy shares the handling
        if (answer.send(request))
            return true;
        // No callback runs inside the call: the handling learns of the indicator in time.
        answer.dismissingHud();
        ProgressHud::show();
        return false;
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
    // A screen that opens: the kept answer to the same request at once, when there is one, then
    // the service's (TeacherRequestManager, Fetch::KeptFirst).
    AnswerHandler &keptFirst(bool first = true) {
        m_state->common.keptFirst = first;
        return *this;
    }
    Fetch fetch() const { return m_state->common.keptFirst ? Fetch::KeptFirst : Fetch::Fresh; }
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
    // Runs instead of onSuccess when the service's answer is the very one drawn from the keep a
    // moment before (keptFirst): there is nothing new to draw.
    AnswerHandler &onUnchanged(std::function<void()> unchanged) {
        m_state->unchanged = std::move(unchanged);
        return *this;
    }
    // Runs after the standard failure handling (e.g. to enable a button again).
    AnswerHandler &onFailure(std::function<void()> failure) {
        m_state->failure = std::move(failure);
        return *this;
    }

    ServiceCompletion completion() const {
        return [state = m_state](const std::optional<QJsonValue> &value) {
            const std::optional<KeptDelivery> kept = TeacherRequestManager::deliveringKept();
            const bool alive = state->common.settle();
            // The kept answer drawn ahead, and now the service's (or, offline, the kept one in
            // its place) is the same: the screen already shows it.
            const bool drawn = value && state->drawnAhead && *value == *state->drawnAhead;
            state->drawnAhead.reset();
            if (value && kept && kept->ahead)
                state->drawnAhead = *value;
            if (drawn) {
                if (alive) {
                    state->common.showWhereFrom(kept);
                    if (state->unchanged)
                        state->unchanged();
                }
                return;
            }
            if (!alive && !state->accepted)
                return;
            const Rsp answer = value ? AnswerHandling::mapped<Rsp>(*value) : Rsp();
            if (answer.result == 1 && state->accepted)
                state->accepted(answer);
            if (!alive)
                return;
            if (answer.result == 1) {
                state->common.showWhereFrom(kept);
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
        std::function<void()> unchanged;
        std::optional<QJsonValue> drawnAhead;
    };
    std::shared_ptr<State> m_state;
};
