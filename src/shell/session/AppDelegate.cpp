#include "AppDelegate.h"

#include "AnswerCache.h"
#include "AnswerHandling.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "DeviceProfile.h"
#include "HeldChanges.h"
#include "ImageLoader.h"
#include "LoginState.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "RootTabbarController.h"
#include "ScreenFactory.h"
#include "ServiceConnection.h"
#include "Session.h"
#include "TeacherRequestManager.h"
#include "Toast.h"
#include "UnitMetiodManager.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStartUp, "teacher.startup")
Q_LOGGING_CATEGORY(lcSignOut, "teacher.signout")

namespace {

QString signInRefusedText() {
    return QCoreApplication::translate("AppDelegate", "登录已失效，请重新登录");
}

LoginReq signInRequest(const LoginDataModel &loginData) {
    LoginReq request;
    request.userName = loginData.loginPhoneNum;
    request.password = loginData.loginPassword;
    return request;
}

// After an offline start the remembered login goes to the service again. Accepted, the teacher
// works on as before; refused (the password was changed or revoked meanwhile), the login screen
// comes; no answer, the check tries again later. An answer to an attempt of a check that has
// ended (a sign-out, an earlier attempt's answer) changes nothing.
void confirmSignIn(const LoginDataModel &loginData) {
    TeacherRequestManager::request_Login_WithParams(
        signInRequest(loginData),
        [](const std::optional<QJsonValue> &value) {
            Session &session = Session::instance();
            if (!session.isCheckingSignIn())
                return;
            const LoginRsp answer =
                value ? KeyValueMapping::recordFromJson<LoginRsp>(*value) : LoginRsp();
            if (answer.result == 1) {
                qCDebug(lcStartUp) << "the service confirmed the sign-in of the offline start";
                session.endSignInCheck();
                LoginState::applySignedIn(answer);
                UnitMetiodManager::movePasswordToKeyring();
                return;
            }
            qCDebug(lcStartUp) << "the service refused the sign-in of the offline start with"
                               << answer.result;
            // Still unconfirmed while the screens are left: what they hold back is refused too.
            AppDelegate::makeLoginStackRoot();
            session.endSignInCheck();
            Toast::show(answer.msg && !answer.msg->isEmpty() ? *answer.msg : signInRefusedText());
        },
        [](const QString &) {
            if (Session::instance().isCheckingSignIn())
                Session::instance().signInCheckFailed();
        });
}

// The automatic sign-in has its last answer: the service's, or the kept one in place of it, which
// the service is asked to confirm as soon as it can be reached.
void signInSettled(const LoginDataModel &loginData) {
    Session &session = Session::instance();
    if (session.connection().signInUnverified())
        session.startSignInCheck([loginData] { confirmSignIn(loginData); });
    else
        UnitMetiodManager::movePasswordToKeyring();
}

} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent) {}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::didFinishLaunchingWithOptions() {
    const QStringList problems = ScreenFactory::problems();
    for (const QString &problem : problems)
        qCCritical(lcStartUp) << "screen registration:" << qPrintable(problem);

    m_window = std::make_unique<AppWindow>();
    m_window->resize(DeviceProfile::current().screenSize);
    if (m_remembersWindow && m_window->rememberGeometry())
        qCDebug(lcStartUp) << "window where it was left:" << m_window->geometry();

    if (!UnitMetiodManager::getShowGuideKey()) {
        // Without one (reported above) the start goes on as after the first.
        if (ViewController *first = ScreenFactory::makeFirstLaunch()) {
            qCDebug(lcStartUp) << "first launch:" << first->metaObject()->className();
            m_window->setRootViewController(first);
            m_window->show();
            return true;
        }
    }

    const std::optional<LoginDataModel> remembered =
        UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
    if (remembered && remembered->isAutoLogin) {
        qCDebug(lcStartUp) << "remembered login: tabs and automatic login";
        // Without a network the sign-in, and then the screens, answer from what was kept.
        AnswerCache::instance().resumeLastTeacher();
        makeTabBarRoot();
        m_window->show();
        autoLoginActionWithLoginData(*remembered);
        return true;
    }

    qCDebug(lcStartUp) << "login stack";
    if (!showLoginStack())
        qCWarning(lcStartUp) << "no login screen is registered; the window stays empty";
    m_window->show();
    return true;
}

void AppDelegate::autoLoginActionWithLoginData(const LoginDataModel &loginData) {
    // The answer belongs to the root it was started under: after a sign-out or another root
    // switch it must not sign in behind the user's back.
    QObject *guard = this;
    if (AppWindow *window = AppWindow::instance(); window && window->rootViewController())
        guard = window->rootViewController();

    // The kept sign-in answers at once, so the home draws what it showed last time while the
    // service is asked; nothing can be changed until the service's own answer confirms it.
    auto shownFor = std::make_shared<std::optional<qint64>>(); // the uid the screens were given
    const auto answer =
        AnswerHandler<LoginRsp>(guard)
            .keptFirst()
            .onSuccess([loginData, shownFor](const LoginRsp &rsp) {
                const std::optional<KeptDelivery> kept = TeacherRequestManager::deliveringKept();
                LoginState::applySignedIn(rsp);
                // The screens asked for this teacher's answers already: the service's sign-in
                // of the same teacher only confirms it.
                if (*shownFor != rsp.uid)
                    NotificationCenter::post(NOTIFICATION_UPDATE_MAIN);
                *shownFor = rsp.uid;
                if (!kept || !kept->ahead)
                    signInSettled(loginData);
            })
            .onUnchanged([loginData] { signInSettled(loginData); })
            .onRefusal([shownFor](const LoginRsp &rsp) {
                qCDebug(lcStartUp) << "automatic login refused with" << rsp.result;
                makeLoginStackRoot();
                // Refused after the kept sign-in showed the screens: the teacher is told why.
                if (*shownFor)
                    Toast::show(rsp.msg && !rsp.msg->isEmpty() ? *rsp.msg : signInRefusedText());
            });
    answer.sendShowingHud(signInRequest(loginData));
}

bool AppDelegate::makeLoginStackRoot() {
    // A signed-out machine keeps nothing of what the teacher read.
    AnswerCache::instance().clear();
    ImageLoader::keepNothingOnDisk();
    const bool shown = showLoginStack();
    // The next sign-in starts afresh; what was held back under an unconfirmed one went above.
    Session::instance().endSignInCheck();
    return shown;
}

bool AppDelegate::signOut() {
    const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
    const LoginDataModel signedOut = LoginDataModel::rememberLoginPhoneNum(
        remembered ? remembered->loginPhoneNum : QString(),
        remembered ? remembered->loginPassword : QString(), false);
    if (!UnitMetiodManager::saveTheUserPhoneNumAndPassword(signedOut))
        qCWarning(lcSignOut) << "the sign-out could not be stored; the next start may sign in";
    if (makeLoginStackRoot())
        return true;
    qCWarning(lcSignOut) << "no window or login screen to return to";
    return false;
}

bool AppDelegate::showLoginStack() {
    AppWindow *window = AppWindow::instance();
    if (!window)
        return false;
    ViewController *stack = ScreenFactory::makeLoginStack();
    if (!stack)
        return false;
    // Grades the teacher gave go out, and are answered, before the calls are cut.
    HeldChanges::instance().sendBeforeLeaving();
    HeldChanges::instance().forgetAccepted();
    // A late answer must not toast, take down the login screen's spinner or write anything once
    // the teacher has left the screens that asked.
    BaseAFHttpManager::abortPendingCalls();
    ProgressHud::dismiss();
    window->setRootViewController(stack);
    return true;
}

bool AppDelegate::makeTabBarRoot() {
    AppWindow *window = AppWindow::instance();
    if (!window)
        return false;
    window->setRootViewController(new RootTabbarController);
    return true;
}
