#include "ScriptRunner.h"

#include "AccessProbe.h"

#include "AppWindow.h"
#include "HeldChanges.h"
#include "ScreenProbe.h"
#include "ScriptHand.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QSaveFile>
#include <QWidget>

namespace {

QString quoted(const QString &text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString screenName(QWidget *window) {
    return ScreenProbe::onTopName(window);
}

} // namespace

ScriptRunner::ScriptRunner(QList<ScriptStep> steps, QString scriptName, QWidget *window,
                           QObject *parent)
    : QObject(parent)
    , m_steps(std::move(steps))
    , m_scriptName(std::move(scriptName))
    , m_window(window)
    , m_useAppWindow(!window) {
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &ScriptRunner::pollWait);
    m_awaitPoll.setInterval(50);
    connect(&m_awaitPoll, &QTimer::timeout, this, &ScriptRunner::pollAwait);
    // Paints reach the widgets as sent events, which an application filter sees too.
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool ScriptRunner::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint && m_completeSince >= 0 && m_paintedAt < 0)
        m_paintedAt = m_clock.elapsed();
    return QObject::eventFilter(watched, event);
}

QWidget *ScriptRunner::window() const {
    return m_useAppWindow ? AppWindow::instance() : m_window.data();
}

void ScriptRunner::start() {
    if (m_running)
        return;
    m_running = true;
    m_next = 0;
    m_records.clear();
    m_clock.start();
    m_startedAtMs = QDateTime::currentMSecsSinceEpoch();
    m_lastActionAt = 0;
    QTimer::singleShot(0, this, &ScriptRunner::runNext);
}

void ScriptRunner::runNext() {
    if (!m_running)
        return;
    if (m_next >= m_steps.size()) {
        m_running = false;
        emit finished(
            0, QStringLiteral("%1: all %2 steps done").arg(m_scriptName).arg(m_steps.size()));
        return;
    }
    const ScriptStep &step = m_steps[m_next];
    if (!window()) {
        fail(QStringLiteral("there is no window"));
        return;
    }
    if (step.isAction()) {
        m_lastActionAt = m_clock.elapsed();
        m_completeSince = m_paintedAt = -1;
    }
    Record record;
    record.line = step.line;
    record.source = step.source;
    m_records << record;

    QString why;
    switch (step.verb) {
    case ScriptStep::Verb::Wait:
        m_waitStartedAt = m_clock.elapsed();
        m_idleSince = -1;
        m_poll.start();
        pollWait();
        return;
    case ScriptStep::Verb::Await:
        m_waitStartedAt = m_clock.elapsed();
        m_awaitPoll.start();
        pollAwait();
        return;
    case ScriptStep::Verb::Shot:
        why = shot(step);
        break;
    case ScriptStep::Verb::Dump:
        why = dump(step);
        break;
    case ScriptStep::Verb::Expect:
        why = expect(step);
        break;
    default:
        why = ScriptHand(window()).act(step);
        break;
    }
    if (why.isEmpty())
        stepDone();
    else
        fail(why);
}

void ScriptRunner::stepDone() {
    if (!m_records.isEmpty())
        m_records.last().screen = screenName(window());
    ++m_next;
    // Back to the event loop first, so what the step set off can happen.
    QTimer::singleShot(0, this, &ScriptRunner::runNext);
}

void ScriptRunner::fail(const QString &why) {
    m_poll.stop();
    m_awaitPoll.stop();
    m_running = false;
    const ScriptStep &step = m_steps[m_next];
    emit finished(
        1, QStringLiteral("%1:%2: %3: %4").arg(m_scriptName).arg(step.line).arg(step.source, why));
}

void ScriptRunner::pollWait() {
    QWidget *w = window();
    if (!w) {
        fail(QStringLiteral("the window closed"));
        return;
    }
    const qint64 now = m_clock.elapsed();
    const ScreenProbe::Busy state = ScreenProbe::busy(w);
    // A grade given with one key is the teacher's work only once the service has it: its undo
    // window runs out, then it is sent and answered.
    const HeldChanges &changes = HeldChanges::instance();
    const int held = changes.heldCount();
    const int unanswered = changes.sendingCount();
    if (!state.isContentComplete())
        m_completeSince = m_paintedAt = -1;
    else if (m_completeSince < 0) {
        m_completeSince = now;
        m_completeFromKeep = state.refreshingKept > 0;
    }
    if (!state.isIdle() || held + unanswered > 0) {
        m_idleSince = -1;
        if (now - m_waitStartedAt < m_waitLimitMs)
            return;
        QStringList reasons;
        if (!state.isIdle())
            reasons << state.describe();
        if (held > 0)
            reasons << QStringLiteral("%1 change(s) still held").arg(held);
        if (unanswered > 0)
            reasons << QStringLiteral("%1 change(s) sent and not answered").arg(unanswered);
        fail(QStringLiteral("still busy after %1 s: %2")
                 .arg(m_waitLimitMs / 1000.0)
                 .arg(reasons.join(QStringLiteral(", "))));
        return;
    }
    if (m_idleSince < 0)
        m_idleSince = now;
    if (now - m_idleSince < QuietMs)
        return;
    m_poll.stop();
    // The client settled when its quiet stretch began; the stretch itself is only the proof.
    m_records.last().settledMs = m_idleSince - m_lastActionAt;
    // Drawn complete at the first paint after the content came; when nothing painted since,
    // the picture on screen already showed it.
    if (m_completeSince >= 0) {
        m_records.last().readyMs =
            (m_paintedAt >= 0 ? m_paintedAt : m_completeSince) - m_lastActionAt;
        if (m_completeFromKeep)
            m_records.last().keptMs = m_records.last().readyMs;
    }
    stepDone();
}

void ScriptRunner::pollAwait() {
    const QString file = m_steps[m_next].text;
    if (QFileInfo::exists(file)) {
        m_awaitPoll.stop();
        stepDone();
    } else if (m_clock.elapsed() - m_waitStartedAt >= AwaitLimitMs) {
        fail(QStringLiteral("%1 did not appear within %2 s").arg(file).arg(AwaitLimitMs / 1000));
    }
}

QString ScriptRunner::fileName(const QString &pattern) const {
    QString name = pattern;
    name.replace(QStringLiteral("{screen}"), screenName(window()));
    return name;
}

QString ScriptRunner::shot(const ScriptStep &step) {
    const QString name = fileName(step.text);
    m_records.last().file = name;
    QPixmap picture = window()->grab();
    // An open menu is a window of its own: the picture shows it where it lies over this one.
    if (QWidget *popup = QApplication::activePopupWidget(); popup && !picture.isNull()) {
        QPainter painter(&picture);
        painter.drawPixmap(window()->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))),
                           popup->grab());
    }
    QImageWriter writer(name, "png");
    if (picture.isNull())
        return QStringLiteral("the window gives no picture");
    if (!writer.write(picture.toImage()))
        return QStringLiteral("cannot write %1: %2").arg(name, writer.errorString());
    return {};
}

QString ScriptRunner::dump(const ScriptStep &step) {
    const QString name = fileName(step.text);
    m_records.last().file = name;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(name, file.errorString());
    QJsonObject described = ScreenProbe::dump(window());
    // What a screen reader or a keyboard would miss on this screen goes with its dump.
    if (const QStringList findings = AccessProbe::findings(window()); !findings.isEmpty())
        described.insert(QStringLiteral("access"), QJsonArray::fromStringList(findings));
    file.write(QJsonDocument(described).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(name, file.errorString());
    return {};
}

QString ScriptRunner::expect(const ScriptStep &step) {
    QWidget *widget = ScreenProbe::findWidget(window(), step.name);
    if (!widget)
        return QStringLiteral("no visible widget named %1 on %2")
            .arg(quoted(step.name), screenName(window()));
    const std::optional<QString> text = ScreenProbe::visibleText(widget);
    if (!text)
        return QStringLiteral("%1 (%2) shows no text of its own")
            .arg(quoted(step.name), QString::fromLatin1(widget->metaObject()->className()));
    if (*text != step.text)
        return QStringLiteral("%1 shows %2, not %3")
            .arg(quoted(step.name), quoted(*text), quoted(step.text));
    return {};
}
