#pragma once

#include <QDateTime>
#include <QLabel>

class QObject;

// The strip across the top of a screen that shows answers kept from an earlier call because the
// network brought none: "离线 · 数据更新于 HH:mm". While a screen that opened on an old kept
// answer waits for the service's, it says "数据更新于 HH:mm" alone. It pushes the screen's content
// down rather than covering it (through the screen's contents margins, whose change Qt tells the
// screen and its event filters as a resize: what a screen places by hand follows that), follows the
// screen's width and goes with the screen's next successful call.
class OfflineBar : public QLabel {
    Q_OBJECT
public:
    static constexpr int Height = 26;
    // A kept answer older than this is not taken for today's without a word, even for the
    // moment until the service's comes: the teacher may be looking at yesterday's class.
    static constexpr qint64 OldAfterSecs = 10 * 60;

    enum Reason {
        Offline,    // the network brought nothing
        Refreshing, // the service's answer is on its way
    };

    // On the screen `owner` is part of (the outermost view controller below the navigation or
    // tab bar controller); an owner outside every screen shows nothing.
    static void showOn(QObject *owner, const QDateTime &receivedAt, Reason reason = Offline);
    static void hideOn(QObject *owner);
    // The bar shown on that screen, if any.
    static OfflineBar *of(QObject *owner);

    // The bar's words: the time alone for an answer of today, the day too for an older one.
    static QString wordsFor(const QDateTime &receivedAt, const QDateTime &now,
                            Reason reason = Offline);
    static bool isOld(const QDateTime &receivedAt, const QDateTime &now) {
        return receivedAt.secsTo(now) > OldAfterSecs;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    explicit OfflineBar(QWidget *screen);
    void fit();
    void applyTexts();

    QDateTime m_receivedAt;
    Reason m_reason = Offline;
    int m_topMargin = 0; // the screen's own, given back when the bar goes
};
