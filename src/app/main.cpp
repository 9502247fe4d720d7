#include "AccessProbe.h"
#include "AnswerCache.h"
#include "AppDelegate.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "DeviceProfile.h"
#include "Driver.h"
#include "HeldChanges.h"
#include "Language.h"
#include "NotificationCenter.h"
#include "QuitSignals.h"
#include "ScreenFactory.h"
#include "ScreenRegistration.h"
#include "ScreenshotTaker.h"
#include "ServiceTypes.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "StyleTokens.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLoggingCategory>
#include <QScreen>
#include <QTextStream>

#include <memory>
#include <optional>

namespace {

struct Options {
    bool verbose = false;
    std::optional<DeviceProfile> device;
    QString screenshot;
    std::optional<Language::Spoken> language;
    Driver driver;
};

// Reads the command line before any window system is touched, so --help, --version and mistakes
// work without a display. Gives the exit code when the program should stop here.
std::optional<int> readCommandLine(int argc, char **argv, Options *options) {
    QCoreApplication probe(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("teacher-client"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TEACHER_CLIENT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The teacher's client of the reading platform. The service it talks to is "
                       "TEACHER_SERVICE_URL (default http://127.0.0.1:8780/); its settings live in "
                       "TEACHER_CLIENT_CONFIG_DIR (default ~/.config/teacher-client)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("The device to look like: %1 (default iphone6).")
                                        .arg(DeviceProfile::names().join(QStringLiteral(", "))),
                                    QStringLiteral("name"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the window offscreen once the client is idle, save it as a PNG "
                       "file and exit (no display needed)."),
        QStringLiteral("file"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Also log every call to the service with its answer, and the program's "
                       "other debug lines, on stderr (they hold pupils' data; passwords are "
                       "masked). QT_LOGGING_RULES, when set, has the last word."));
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QStringLiteral("Speak this language for this run: zh or en. By default the choice made in "
                       "系统设置 holds, else the system's language (zh* Chinese, else English); "
                       "scripts, the tour and screenshots run in Chinese unless asked."),
        QStringLiteral("code"));
    parser.addOption(device);
    parser.addOption(lang);
    parser.addOption(screenshot);
    parser.addOption(verbose);
    Driver::addOptions(&parser);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "teacher-client: " << parser.errorText() << " (see --help)\n";
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "teacher-client " << TEACHER_CLIENT_VERSION << "\n";
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "teacher-client: unexpected argument " << parser.positionalArguments().first()
            << " (see --help)\n";
        return 2;
    }
    options->verbose = parser.isSet(verbose);
    if (parser.isSet(device)) {
        options->device = DeviceProfile::fromName(parser.value(device));
        if (!options->device) {
            err << "teacher-client: unknown device \"" << parser.value(device) << "\"; use one of "
                << DeviceProfile::names().join(QStringLiteral(", ")) << "\n";
            return 2;
        }
    }
    if (parser.isSet(lang)) {
        options->language = Language::fromCode(parser.value(lang));
        if (!options->language) {
            err << "teacher-client: unknown language \"" << parser.value(lang)
                << "\"; use zh or en\n";
            return 2;
        }
    }
    if (parser.isSet(screenshot)) {
        options->screenshot = parser.value(screenshot);
        if (options->screenshot.isEmpty()) {
            err << "teacher-client: --screenshot needs a file name\n";
            return 2;
        }
    }
    return options->driver.readOptions(parser);
}
// However the program ends (the window closed, a script done, a signal), grades the teacher gave
// and that are still in their undo window go out and are answered first; what the service has not
// answered within the wait, or refused, is said on stderr, since no window is left to say it.
void sendHeldChangesBeforeQuitting() {
    HeldChanges &changes = HeldChanges::instance();
    if (changes.pendingCount() == 0)
        return;
    // An accepted grade would make the lists ask again, calls that nobody will see answered.
    NotificationCenter::removeAllObservers();
    QTextStream err(stderr);
    const QMetaObject::Connection failures =
        QObject::connect(&changes, &HeldChanges::failed,
                         [](const QString &key, const QVariant &, const QString &reason) {
                             QTextStream(stderr) << "teacher-client: " << key
                                                 << " was not accepted: " << reason << Qt::endl;
                         });
    // Not waited for twice: the window's close or a signal may have waited already.
    if (!changes.waitedOut()) {
        if (const int held = changes.heldCount(); held > 0)
            err << "teacher-client: sending " << held << " held change(s) before quitting…"
                << Qt::endl;
        changes.settle(HeldChanges::LeavingWaitMs);
    }
    if (const int left = changes.sendingCount(); left > 0)
        err << "teacher-client: " << left
            << " change(s) sent but not answered; the service may not have them" << Qt::endl;
    QObject::disconnect(failures);
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (const std::optional<int> code = readCommandLine(argc, argv, &options))
        return *code;
    // Answers hold pupils' names and numbers, and a desktop session writes stderr to its journal:
    // a plain run says only what went wrong. QT_LOGGING_RULES is applied after these rules.
    QLoggingCategory::setFilterRules(
        options.verbose ? QStringLiteral("teacher.*.debug=true\nteacher.*.info=true\n"
                                         "default.debug=true\ndefault.info=true")
                        : QStringLiteral("*.debug=false\n*.info=false"));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!options.screenshot.isEmpty() || options.driver.isSet()) {
            // A screenshot, a script and the tour draw offscreen: they need no display.
            qputenv("QT_QPA_PLATFORM", "offscreen");
        } else if (qEnvironmentVariableIsEmpty("DISPLAY") &&
                   qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            QTextStream(stderr) << "teacher-client: there is no display (DISPLAY and "
                                   "WAYLAND_DISPLAY are empty); run it under xvfb-run -a, or "
                                   "use --screenshot FILE.png, --tour DIR or --script FILE\n";
            return 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("teacher-client"));
    QApplication::setApplicationVersion(QStringLiteral(TEACHER_CLIENT_VERSION));
    // One window per user and settings folder: a second start raises the first and ends before
    // it touches the kept answers. Scripts, the tour and screenshots run in folders of their own
    // and are neither stopped by a running client nor found by a later start.
    SingleInstance instance(
        SingleInstance::serverNameFor(QFileInfo(SettingsStore::filePath()).absolutePath()));
    if (!options.driver.isSet() && options.screenshot.isEmpty()) {
        if (const std::optional<int> code = instance.claim())
            return *code;
    }
    // Connected before any call is made, so it runs before the transport cuts what is in flight.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, &sendHeldChangesBeforeQuitting);
    QuitSignals::install(&app);
    StyleTokens::apply();
    // Scripts find controls by their Chinese texts, and pictures are compared run to run: the
    // tools speak Chinese whatever the desktop's language, unless --lang says otherwise.
    if (!options.language && (options.driver.isSet() || !options.screenshot.isEmpty()))
        options.language = Language::Spoken::Chinese;
    Language::setOverride(options.language);
    Language::apply();
    // A text left in Chinese in an English run is a finding of the screen's dump: listened for
    // before the first screen is made.
    if (options.driver.isSet())
        AccessProbe::recordUntranslated();
    // Answers are kept for reading offline by the program a teacher uses, never by the tools.
    AnswerCache::instance().setFolder(
        QDir(ClientCacheFolder()).filePath(QStringLiteral("answers")));
    if (options.device)
        DeviceProfile::setCurrent(*options.device);
    if (const std::optional<int> holdMs = options.driver.holdMs())
        HeldChanges::instance().setHoldMs(*holdMs);
    // The service's User-Agent names the display scale; the service library has no GUI to ask.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        BaseAFHttpManager::setDisplayScale(screen->devicePixelRatio());

    ScreenRegistration::registerAll();
    // A registration that cannot build the tabs or the login stack is a broken build: say so now
    // rather than when someone taps the tab or the back button.
    if (const QStringList problems = ScreenFactory::problems(); !problems.isEmpty()) {
        QTextStream err(stderr);
        for (const QString &problem : problems)
            err << "teacher-client: screen registration: " << problem << "\n";
        return 1;
    }
    AppDelegate delegate;
    // A size asked for (--size, --device), a script, the tour and a screenshot start as asked.
    delegate.setRemembersWindow(!options.driver.isSet() && options.screenshot.isEmpty() &&
                                !options.device && !options.driver.windowSize());
    delegate.didFinishLaunchingWithOptions();
    instance.raiseOnRequest(delegate.window());
    // Before the first turn of the event loop, so nothing is drawn or shot at the device's size.
    if (const std::optional<QSize> size = options.driver.windowSize())
        delegate.window()->resize(*size);

    options.driver.start();
    std::unique_ptr<ScreenshotTaker> taker;
    if (!options.screenshot.isEmpty()) {
        taker = std::make_unique<ScreenshotTaker>(delegate.window(), options.screenshot);
        QObject::connect(taker.get(), &ScreenshotTaker::finished, &app,
                         [](int code, const QString &message) {
                             QTextStream(stderr) << "teacher-client: " << message << "\n";
                             QCoreApplication::exit(code);
                         });
        taker->start();
    }
    const int code = app.exec();
    AnswerCache::instance().waitForWrites();
    return code;
}
