#include "OfflineBar.h"

#include "FrameStyle.h"
#include "NavigationController.h"
#include "TabBarController.h"
#include "ViewController.h"

#include <QEvent>
#include <QLocale>

namespace {

// The screen as the teacher sees it: a list or panel that is a child of another screen (the
// review desk's list, a report's page) shares its parent's one bar.
ViewController *screenOf(QObject *owner) {
    ViewController *screen = nullptr;
    for (QObject *object = owner; object && !screen; object = object->parent())
        screen = qobject_cast<ViewController *>(object);
    while (screen && screen->parentViewController() &&
           !qobject_cast<NavigationController *>(screen->parentViewController()) &&
           !qobject_cast<TabBarController *>(screen->parentViewController()))
        screen = screen->parentViewController();
    // A whole stack or the tabs (the automatic sign-in answers for them) have no bar of their
    // own: their screens show it when their answers come.
    if (qobject_cast<NavigationController *>(screen) || qobject_cast<TabBarController *>(screen))
        return nullptr;
    return screen;
}

} // namespace

OfflineBar::OfflineBar(QWidget *screen)
    : QLabel(screen) {
    setObjectName(QStringLiteral("offlineBar"));
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(FrameStyle::OfflineWash));
    pal.setColor(QPalette::WindowText, QColor(FrameStyle::TitleColor));
    setPalette(pal);
    QFont small = font();
    small.setPixelSize(13);
    setFont(small);
    const QMargins margins = screen->contentsMargins();
    m_topMargin = margins.top();
    screen->setContentsMargins(margins.left(), m_topMargin + Height, margins.right(),
                               margins.bottom());
    screen->installEventFilter(this);
    fit();
    raise();
    show();
}

OfflineBar *OfflineBar::of(QObject *owner) {
    ViewController *screen = screenOf(owner);
    return screen ? screen->findChild<OfflineBar *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void OfflineBar::showOn(QObject *owner, const QDateTime &receivedAt, Reason reason) {
    ViewController *screen = screenOf(owner);
    if (!screen)
        return;
    OfflineBar *bar = of(screen);
    if (!bar)
        bar = new OfflineBar(screen);
    bar->m_receivedAt = receivedAt;
    bar->m_reason = reason;
    bar->applyTexts();
}

void OfflineBar::applyTexts() {
    setAccessibleName(tr("离线提示"));
    // The time of the answer shown, not the time of the change: the words only change language.
    setText(wordsFor(m_receivedAt, QDateTime::currentDateTime(), m_reason));
}

void OfflineBar::changeEvent(QEvent *event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        applyTexts();
}

void OfflineBar::hideOn(QObject *owner) {
    OfflineBar *bar = of(owner);
    if (!bar)
        return;
    if (QWidget *screen = bar->parentWidget()) {
        screen->removeEventFilter(bar);
        const QMargins margins = screen->contentsMargins();
        screen->setContentsMargins(margins.left(), bar->m_topMargin, margins.right(),
                                   margins.bottom());
    }
    bar->hide();
    bar->deleteLater();
    // Gone for of() at once, not only when the event loop deletes it.
    bar->setParent(nullptr);
}

QString OfflineBar::wordsFor(const QDateTime &receivedAt, const QDateTime &now, Reason reason) {
    const QDateTime local = receivedAt.toLocalTime();
    const QString when = local.date() == now.toLocalTime().date()
                             ? local.toString(QStringLiteral("HH:mm"))
                             //: A QDateTime format for a day other than today, then the time.
                             : QLocale().toString(local, tr("M月d日 HH:mm"));
    //: %1 is when the answer shown was received.
    const QString updated = tr("数据更新于 %1").arg(when);
    //: The bar on a screen that shows kept answers because the network brought nothing.
    return reason == Offline ? tr("离线 · %1").arg(updated) : updated;
}

bool OfflineBar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fit();
    return QLabel::eventFilter(watched, event);
}

void OfflineBar::fit() {
    if (parentWidget())
        setGeometry(0, 0, parentWidget()->width(), Height);
}
