// The tour's chapters are script files in src/app/tour, compiled in under ":/tour". To add one:
//  1. write src/app/tour/NN-name.txt: the steps a --script file takes, one a line, '#' comments,
//     plus the tour's own words: "capture" (wait, then picture and dump what is on top), "snap"
//     (the same without waiting), {user}, {password}, {code} for the tour's account, and
//     {tr:Context:文字} for a text of the program's in the language the tour runs in;
//  2. list the file in qt_add_resources(teacher_driver "tour" ...) in src/app/CMakeLists.txt;
//  3. add its row to kChapters below, in the place it runs, with where it starts, whether it
//     signs the teacher in and a window size of its own when it needs one.
// Every capture after a new chapter gets a new number, so the pictures after it change names.
#include "Tour.h"

#include "AppDelegate.h"
#include "AppWindow.h"
#include "ProgressHud.h"
#include "ScreenProbe.h"
#include "ScriptRunner.h"
#include "TabBarController.h"
#include "Toast.h"
#include "records/AccountRecords.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

// The chapters in the order they run: the script in src/app/tour (":/tour/NAME.txt"), where
// the chapter starts, whether it signs the tour's account in, and a window size of its own.
struct ChapterRow {
    const char *name = nullptr;
    Tour::Start start = Tour::Start::Tabs;
    bool signsIn = false;
    QSize windowSize = {}; // the device's size when empty
};

const ChapterRow kChapters[] = {
    {.name = "01-sign-in", .signsIn = true},
    // The phone's roster, whatever the tour's size: its sort bar and toggle are not on a desktop.
    {.name = "02-roster", .windowSize = QSize(375, 667)},
    {.name = "03-pupil-home", .windowSize = QSize(375, 667)},
    {.name = "04-reflections"},
    {.name = "05-grading", .windowSize = QSize(375, 667)},
    {.name = "06-collection"},
    {.name = "07-reports"},
    {.name = "08-book-list"},
    {.name = "09-book-search"},
    {.name = "10-book-detail"},
    {.name = "11-comment-composer"},
    {.name = "12-personal-centre"},
    {.name = "13-settings"},
    {.name = "14-forgotten-password", .start = Tour::Start::Login},
    {.name = "15-binding", .start = Tour::Start::Login},
    {.name = "16-teacher-again", .start = Tour::Start::Login, .signsIn = true},
    {.name = "17-profile"},
    {.name = "18-review-desk", .windowSize = QSize(1280, 800)},
    {.name = "19-roster-desk", .windowSize = QSize(1280, 800)},
    {.name = "20-desktop", .windowSize = QSize(1280, 800)},
    // The same screens twice over, at the phone's size: the second time from kept answers.
    {.name = "21-first-visits", .windowSize = QSize(375, 667)},
    {.name = "22-second-visits", .windowSize = QSize(375, 667)},
};

} // namespace

QList<Tour::Chapter> Tour::chapters() {
    QList<Chapter> chapters;
    for (const ChapterRow &row : kChapters) {
        const QString name = QString::fromLatin1(row.name);
        Chapter chapter;
        // The name without its number: "01-sign-in" is the chapter "sign-in".
        chapter.title = name.section(QLatin1Char('-'), 1);
        chapter.file = QStringLiteral(":/tour/%1.txt").arg(name);
        chapter.start = row.start;
        chapter.signsIn = row.signsIn;
        chapter.windowSize = row.windowSize;
        // A file the build left out reads as empty, which runChapter refuses.
        QFile file(chapter.file);
        if (file.open(QIODevice::ReadOnly))
            chapter.script = QString::fromUtf8(file.readAll());
        chapters << chapter;
    }
    return chapters;
}

namespace {
// "{tr:Context:文字}" is the program's text in the language spoken, so a chapter that expects a
// text runs in every language.
QString translated(QString line) {
    static const QRegularExpression text(QStringLiteral("\\{tr:([A-Za-z_]+):([^}]+)\\}"));
    for (QRegularExpressionMatch match = text.match(line); match.hasMatch();
         match = text.match(line)) {
        line.replace(match.capturedStart(), match.capturedLength(),
                     QCoreApplication::translate(match.captured(1).toUtf8().constData(),
                                                 match.captured(2).toUtf8().constData()));
    }
    return line;
}
} // namespace

QString Tour::expand(const Chapter &chapter, const QString &dir, int *number, const QString &user,
                     const QString &password, const QString &code) {
    QStringList lines;
    const QStringList written = chapter.script.split(QLatin1Char('\n'));
    for (const QString &raw : written) {
        const QString line = raw.trimmed();
        const bool snap = line == QLatin1String("snap");
        if (line != QLatin1String("capture") && !snap) {
            lines << translated(QString(line)
                                    .replace(QStringLiteral("{user}"), user)
                                    .replace(QStringLiteral("{password}"), password)
                                    .replace(QStringLiteral("{code}"), code));
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
    if (chapter.script.trimmed().isEmpty()) {
        emit finished(Script::UsageExitCode,
                      QStringLiteral("tour chapter \"%1\": %2 is missing or empty")
                          .arg(chapter.title, chapter.file));
        return;
    }
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
    qint64 kept = -1;
    for (const ScriptRunner::Record &record : m_runner->records()) {
        if (record.settledMs >= 0) {
            settled = record.settledMs;
            ready = record.readyMs;
            kept = record.keptMs;
        }
        if (record.file.endsWith(QLatin1String(".png")) && settled >= 0) {
            QJsonObject timing{
                {QStringLiteral("screen"), QFileInfo(record.file).completeBaseName()},
                {QStringLiteral("readyMs"), ready},
                {QStringLiteral("settleMs"), settled}};
            if (kept >= 0)
                timing.insert(QStringLiteral("keptMs"), kept);
            m_timings.append(timing);
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
