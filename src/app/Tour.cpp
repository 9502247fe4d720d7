#include "Tour.h"

#include "AppDelegate.h"
#include "AppWindow.h"
#include "ProgressHud.h"
#include "ScreenProbe.h"
#include "ScriptRunner.h"
#include "TabBarController.h"
#include "Toast.h"
#include "records/AccountRecords.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>

QList<Tour::Chapter> Tour::chapters() {
    // Each chapter after the first starts on a new home tab, or a new login screen when it says
    // so, and may leave the client anywhere: the next one starts afresh.
    return {
        {QStringLiteral("sign-in"), QStringLiteral(R"(
            capture
            tap enterButton
            capture
            type userNameTextField {user}
            type userPwdTextField {password}
            tap loginButton
            capture
        )"),
         Start::Tabs, true},
        {QStringLiteral("roster"), QStringLiteral(R"(
            wait
            tap classBtn
            capture
            tap column1
            capture
            tap changeModelBtn
            capture
            tap headTitleButton
            capture
            tap backGroundView
            wait
        )")},
        {QStringLiteral("pupil home"), QStringLiteral(R"(
            wait
            tap classBtn
            wait
            row tableView 0
            capture
            tap collectCountButton
            capture
        )")},
        {QStringLiteral("reflections"), QStringLiteral(R"(
            wait
            tap gradeBtn
            capture
            tap SegmentedControl 1
            capture
            tap SegmentedControl 2
            capture
        )")},
        {QStringLiteral("grading"), QStringLiteral(R"(
            wait
            tap gradeBtn
            wait
            tap SegmentedControl 1
            wait
            row tableView 0
            capture
            tap rightButton
            capture
            tap closeButton
            wait
            tap picture0
            capture
        )"),
         // How a phone grades; a wide window grades on the review desk instead.
         Start::Tabs, false, QSize(375, 667)},
        {QStringLiteral("collection"), QStringLiteral(R"(
            wait
            tap collectBtn
            wait
            capture
        )")},
        {QStringLiteral("reports"), QStringLiteral(R"(
            tab 2
            wait
            capture
            tap filterMenu 0
            capture
            tap backGroundView
            wait
            tap SegmentedControl 1
            wait
            capture
            tap filterMenu 1
            capture
            tap backGroundView
            wait
            tap SegmentedControl 2
            wait
            capture
            tap filterMenu 0
            capture
            tap backGroundView
            wait
        )")},
        {QStringLiteral("book list"), QStringLiteral(R"(
            tab 1
            wait
            capture
            tap filterMenu 0
            capture
            tap backGroundView
            wait
            tap filterMenu 1
            capture
            tap backGroundView
            wait
            tap filterMenu 2
            capture
            tap backGroundView
            wait
        )")},
        {QStringLiteral("book search"), QStringLiteral(R"(
            tab 1
            wait
            tap searchButton
            wait
            type searchTextField 童话
            key searchTextField Return
            capture
        )")},
        // A book is opened from the teacher's collection on the home tab.
        {QStringLiteral("book detail"), QStringLiteral(R"(
            wait
            tap collectBtn
            wait
            row collectionView 0
            capture
            tap commentButton
            capture
            tap recommandButton
            capture
        )")},
        {QStringLiteral("comment composer"), QStringLiteral(R"(
            wait
            tap collectBtn
            wait
            row collectionView 0
            wait
            tap commentButton
            wait
            tap publishCommonButton
            wait
            type commonText 插图很美，孩子们读得很开心，推荐给全班。
            capture
        )")},
        {QStringLiteral("personal centre"), QStringLiteral(R"(
            tab 3
            wait
            capture
            tap headImageButton
            capture
            tap cancelPhotoButton
            wait
        )")},
        {QStringLiteral("settings"), QStringLiteral(R"(
            tab 3
            wait
            row userTableView 2
            capture
            row settingTableView 2
            capture
            back
            wait
            row settingTableView 0
            capture
            back
            wait
            row settingTableView 1
            capture
        )")},
        // The account forms. Every account stays as it was (the reset form is left unsent, the
        // binding unconfirmed), so the tour runs again on the same data; the codes need a service
        // that sends {code} (--fixed-code) and allows codes in quick succession.
        {QStringLiteral("forgotten password"), QStringLiteral(R"(
            tap forgetButton
            capture
            type phoneTextField {user}
            tap verificationBtn
            wait
            tick 1
            capture
            type verfyTextField {code}
            tap confirmButton
            wait
            expect confirmButton 确定
            capture
        )"),
         Start::Login},
        {QStringLiteral("binding"), QStringLiteral(R"(
            type userNameTextField 13800000002
            type userPwdTextField 123456
            tap loginButton
            wait
            expect confirmButton 绑定
            capture
            type phoneTextField 13900000002
            tap verificationBtn
            wait
            tick 1
            capture
        )"),
         Start::Login},
        // The binding chapter left another account in the current login: the teacher signs in
        // again, so the chapters after this one see the teacher.
        {QStringLiteral("teacher again"), QStringLiteral(R"(
            type userNameTextField {user}
            type userPwdTextField {password}
            tap loginButton
            wait
            tab 0
        )"),
         Start::Login, true},
        {QStringLiteral("profile"), QStringLiteral(R"(
            tab 3
            wait
            row userTableView 0
            capture
            tap editButton
            capture
            row userClassTableView 0
            capture
            tap addClassButton
            tap userClassTableView 2
            capture
        )")},
        // The desk of a wide window: a waiting reflection, the undo bar after a grade key, and
        // the question before grading several at once. "snap" shoots without waiting, while
        // the grade is still held.
        {QStringLiteral("review desk"), QStringLiteral(R"(
            wait
            tap gradeBtn
            wait
            tap SegmentedControl 1
            wait
            row tableView 0
            capture
            press 1
            snap
            press Shift+Down
            press Shift+Down
            press 3
            snap
            press Escape
        )"),
         Start::Tabs, false, QSize(1280, 800)},
    };
}

QString Tour::expand(const Chapter &chapter, const QString &dir, int *number, const QString &user,
                     const QString &password, const QString &code) {
    QStringList lines;
    const QStringList written = chapter.script.split(QLatin1Char('\n'));
    for (const QString &raw : written) {
        const QString line = raw.trimmed();
        const bool snap = line == QLatin1String("snap");
        if (line != QLatin1String("capture") && !snap) {
            lines << QString(line)
                         .replace(QStringLiteral("{user}"), user)
                         .replace(QStringLiteral("{password}"), password)
                         .replace(QStringLiteral("{code}"), code);
            continue;
        }
        ++*number;
        const QString stem =
            QDir(dir).filePath(QStringLiteral("%1-{screen}").arg(*number, 2, 10, QLatin1Char('0')));
        if (!snap)
            lines << QStringLiteral("wait");
        lines << QStringLiteral("shot %1.png").arg(stem)
              << QStringLiteral("dump %1.json").arg(stem);
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {
// Accepted: the current login is signed in and the tabs hold the window, not the login stack
// (which an earlier accepted sign-in would leave signed in under a refused one).
bool signedIn() {
    if (!LoginRsp::shareRsp().isLogin)
        return false;
    for (ViewController *c = ScreenProbe::topScreen(AppWindow::instance()); c;
         c = c->parentViewController()) {
        if (qobject_cast<TabBarController *>(c))
            return true;
    }
    return false;
}
} // namespace

Tour::Tour(QString dir, QString user, QString password, QString code, QObject *parent)
    : QObject(parent)
    , m_dir(std::move(dir))
    , m_user(std::move(user))
    , m_password(std::move(password))
    , m_code(std::move(code))
    , m_chapters(chapters()) {}

Tour::~Tour() = default;

void Tour::start() {
    m_chapter = 0;
    m_captureNumber = 0;
    QTimer::singleShot(0, this, &Tour::runChapter);
}

void Tour::runChapter() {
    if (m_chapter >= m_chapters.size()) {
        finish();
        return;
    }
    const Chapter &chapter = m_chapters[m_chapter];
    const QString text = expand(chapter, m_dir, &m_captureNumber, m_user, m_password, m_code);
    const ParsedScript parsed = Script::parse(text);
    if (!parsed.errors.isEmpty()) {
        // The tour's own text is wrong: nothing sensible can follow.
        emit finished(Script::UsageExitCode,
                      QStringLiteral("tour chapter \"%1\": %2")
                          .arg(chapter.title, parsed.errors.join(QStringLiteral("; "))));
        return;
    }
    if (m_chapter > 0) {
        // A fresh root: the previous chapter may have left anything open. The signed-in
        // teacher stays.
        const auto above = ScreenProbe::overlays(AppWindow::instance());
        for (QWidget *overlay : above) {
            if (overlay != ProgressHud::widget())
                overlay->close();
        }
        if (chapter.start == Start::Login)
            AppDelegate::makeLoginStackRoot();
        else
            AppDelegate::makeTabBarRoot();
    }
    // A chapter with a size of its own runs on a window of that size; the next one gets the
    // size the tour started with back.
    if (AppWindow *window = AppWindow::instance()) {
        if (!m_startSize.isValid())
            m_startSize = window->size();
        window->resize(chapter.windowSize.isValid() ? chapter.windowSize : m_startSize);
    }
    m_runner = std::make_unique<ScriptRunner>(parsed.steps,
                                              QStringLiteral("tour \"%1\"").arg(chapter.title));
    connect(m_runner.get(), &ScriptRunner::finished, this, &Tour::chapterFinished);
    m_runner->start();
}

void Tour::chapterFinished(int exitCode, QString message) {
    const Chapter &chapter = m_chapters[m_chapter];
    if (exitCode == 0 && chapter.signsIn && !signedIn()) {
        exitCode = 1;
        message = QStringLiteral("tour \"%1\": the sign-in as %2 was not accepted")
                      .arg(chapter.title, m_user);
        if (Toast::isShowing())
            message += QStringLiteral(" (the client says: %1)").arg(Toast::currentText());
    }
    qint64 settled = -1;
    qint64 ready = -1;
    for (const ScriptRunner::Record &record : m_runner->records()) {
        if (record.settledMs >= 0) {
            settled = record.settledMs;
            ready = record.readyMs;
        }
        if (record.file.endsWith(QLatin1String(".png")) && settled >= 0) {
            m_timings.append(
                QJsonObject{{QStringLiteral("screen"), QFileInfo(record.file).completeBaseName()},
                            {QStringLiteral("readyMs"), ready},
                            {QStringLiteral("settleMs"), settled}});
        }
    }
    m_runner.release()->deleteLater();
    if (exitCode != 0) {
        m_failures << message;
        qWarning().noquote() << "teacher-client:" << message;
        // Without a signed-in teacher no other chapter can run.
        if (m_chapter == 0 || chapter.signsIn) {
            finish();
            return;
        }
    }
    ++m_chapter;
    QTimer::singleShot(0, this, &Tour::runChapter);
}

void Tour::finish() {
    // The median and the worst of one number over the screens that have it (a screen whose
    // content never came has no readyMs to count).
    auto summary = [this](const QString &key) {
        QList<qint64> values;
        for (const QJsonValue &entry : std::as_const(m_timings)) {
            if (const qint64 value = entry.toObject().value(key).toInteger(-1); value >= 0)
                values << value;
        }
        std::sort(values.begin(), values.end());
        double median = 0;
        if (!values.isEmpty()) {
            const qsizetype mid = values.size() / 2;
            median = values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
        }
        return std::pair(median, values.isEmpty() ? 0 : values.last());
    };
    const auto [median, worst] = summary(QStringLiteral("settleMs"));
    const auto [medianReady, worstReady] = summary(QStringLiteral("readyMs"));
    QJsonObject out{{QStringLiteral("screens"), m_timings},
                    {QStringLiteral("medianMs"), median},
                    {QStringLiteral("maxMs"), worst},
                    {QStringLiteral("medianReadyMs"), medianReady},
                    {QStringLiteral("maxReadyMs"), worstReady},
                    {QStringLiteral("failures"), QJsonArray::fromStringList(m_failures)}};
    const QString path = QDir(m_dir).filePath(QStringLiteral("timings.json"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(out).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        emit finished(1, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return;
    }
    const QString summaryText =
        QStringLiteral("%1 screens captured in %2, median %3 ms until drawn, %4 ms to settle")
            .arg(m_timings.size())
            .arg(QDir::toNativeSeparators(m_dir))
            .arg(medianReady)
            .arg(median);
    if (m_failures.isEmpty())
        emit finished(0, QStringLiteral("tour done: ") + summaryText);
    else
        emit finished(1, QStringLiteral("tour incomplete (%1 of %2 chapters failed): %3")
                             .arg(m_failures.size())
                             .arg(m_chapters.size())
                             .arg(summaryText));
}
