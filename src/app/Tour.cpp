#include "Tour.h"

#include "AppDelegate.h"
#include "AppWindow.h"
#include "ProgressHud.h"
#include "ScreenProbe.h"
#include "ScriptRunner.h"

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
    // Each chapter starts on the home tab's root (the first after the sign-in) and may leave the
    // client anywhere: the next one goes back to the home tab first.
    return {
        {QStringLiteral("sign-in"), QStringLiteral(R"(
            capture
            tap enterButton
            capture
            type userNameTextField {user}
            type userPwdTextField {password}
            tap loginButton
            capture
        )")},
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
        )")},
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
            tap SegmentedControl 1
            wait
            capture
            tap SegmentedControl 2
            wait
            capture
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
    };
}

QString Tour::expand(const Chapter &chapter, const QString &dir, int *number, const QString &user,
                     const QString &password) {
    QStringList lines;
    const QStringList written = chapter.script.split(QLatin1Char('\n'));
    for (const QString &raw : written) {
        const QString line = raw.trimmed();
        if (line != QLatin1String("capture")) {
            lines << QString(line)
                         .replace(QStringLiteral("{user}"), user)
                         .replace(QStringLiteral("{password}"), password);
            continue;
        }
        ++*number;
        const QString stem =
            QDir(dir).filePath(QStringLiteral("%1-{screen}").arg(*number, 2, 10, QLatin1Char('0')));
        lines << QStringLiteral("wait") << QStringLiteral("shot %1.png").arg(stem)
              << QStringLiteral("dump %1.json").arg(stem);
    }
    return lines.join(QLatin1Char('\n'));
}

Tour::Tour(QString dir, QString user, QString password, QObject *parent)
    : QObject(parent)
    , m_dir(std::move(dir))
    , m_user(std::move(user))
    , m_password(std::move(password))
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
    const QString text = expand(chapter, m_dir, &m_captureNumber, m_user, m_password);
    const ParsedScript parsed = Script::parse(text);
    if (!parsed.errors.isEmpty()) {
        // The tour's own text is wrong: nothing sensible can follow.
        emit finished(Script::UsageExitCode,
                      QStringLiteral("tour chapter \"%1\": %2")
                          .arg(chapter.title, parsed.errors.join(QStringLiteral("; "))));
        return;
    }
    if (m_chapter > 0) {
        // A fresh tab bar: the previous chapter may have left anything open. The signed-in
        // teacher stays.
        const auto above = ScreenProbe::overlays(AppWindow::instance());
        for (QWidget *overlay : above) {
            if (overlay != ProgressHud::widget())
                overlay->close();
        }
        AppDelegate::makeTabBarRoot();
    }
    m_runner = std::make_unique<ScriptRunner>(parsed.steps,
                                              QStringLiteral("tour \"%1\"").arg(chapter.title));
    connect(m_runner.get(), &ScriptRunner::finished, this, &Tour::chapterFinished);
    m_runner->start();
}

void Tour::chapterFinished(int exitCode, const QString &message) {
    qint64 settled = -1;
    for (const ScriptRunner::Record &record : m_runner->records()) {
        if (record.settledMs >= 0)
            settled = record.settledMs;
        if (record.file.endsWith(QLatin1String(".png")) && settled >= 0) {
            m_timings.append(
                QJsonObject{{QStringLiteral("screen"), QFileInfo(record.file).completeBaseName()},
                            {QStringLiteral("ms"), settled}});
        }
    }
    m_runner.release()->deleteLater();
    if (exitCode != 0) {
        m_failures << message;
        qWarning().noquote() << "teacher-client:" << message;
        // Without a signed-in teacher no other chapter can run.
        if (m_chapter == 0) {
            finish();
            return;
        }
    }
    ++m_chapter;
    QTimer::singleShot(0, this, &Tour::runChapter);
}

void Tour::finish() {
    QList<qint64> values;
    for (const QJsonValue &entry : std::as_const(m_timings))
        values << entry.toObject().value(QStringLiteral("ms")).toInteger();
    std::sort(values.begin(), values.end());
    double median = 0;
    if (!values.isEmpty()) {
        const qsizetype mid = values.size() / 2;
        median = values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
    }
    QJsonObject out{{QStringLiteral("screens"), m_timings},
                    {QStringLiteral("medianMs"), median},
                    {QStringLiteral("maxMs"), values.isEmpty() ? 0 : values.last()},
                    {QStringLiteral("failures"), QJsonArray::fromStringList(m_failures)}};
    const QString path = QDir(m_dir).filePath(QStringLiteral("timings.json"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(out).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        emit finished(1, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return;
    }
    const QString summary = QStringLiteral("%1 screens captured in %2, median %3 ms to settle")
                                .arg(values.size())
                                .arg(QDir::toNativeSeparators(m_dir))
                                .arg(median);
    if (m_failures.isEmpty())
        emit finished(0, QStringLiteral("tour done: ") + summary);
    else
        emit finished(1, QStringLiteral("tour incomplete (%1 of %2 chapters failed): %3")
                             .arg(m_failures.size())
                             .arg(m_chapters.size())
                             .arg(summary));
}
