#pragma once

#include "HeldChanges.h"
#include "records/ContentRecords.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QListView>
#include <QPointer>
#include <QSet>
#include <QWidget>

class BatchGrading;
class DeskDetails;
class WaitingTally;
class FeelRows;
class PictureGrid;
class QLabel;

class QPushButton;
class QTextBrowser;

// The right half of the wide review screen: the reflection selected in the list beside it, and
// the teacher's grading from the keyboard. A grade key holds the grade for the undo window and
// moves on to the next waiting reflection; with several waiting ones selected it asks once and
// grades them all (BatchGrading). The next two waiting reflections are fetched ahead, so moving
// on shows them at once. The list belongs to the screen; the desk only follows and moves its
// selection. While the screen reads kept answers (offline) it gives no grade: it could not send
// one. Its progress counts the teacher's waiting reflections, whichever list is in view.
class ReviewDesk : public QWidget {
    Q_OBJECT
public:
    // Grades of a batch on their way at once.
    static constexpr int BatchInFlight = HeldChanges::MaxInFlight;
    // Reflections fetched ahead of the one shown.
    static constexpr int Prefetched = 2;
    // A reflection is a child's page or two; a longer answer is cut rather than laid out whole.
    static constexpr int MaxTextLength = 20'000;
    static constexpr int MinTextHeight = 60;
    // Source texts; the desk shows them translated.
    inline static const QString AllDoneText =
        QString::fromUtf8(QT_TRANSLATE_NOOP("ReviewDesk", "全部批阅完成"));
    inline static const QString OfflineText =
        QString::fromUtf8(QT_TRANSLATE_NOOP("ReviewDesk", "离线中，恢复连接后才能批阅"));

    explicit ReviewDesk(QWidget *parent = nullptr);

    // The list in view and its rows; null for none. Prefetches of the previous list are dropped.
    void setList(QListView *list, FeelRows *rows);
    QListView *list() const { return m_list; }

    // Keys 1 to 4: the selected waiting reflection, or every selected waiting one after asking.
    // Nothing for a reflection that is no longer waiting.
    void gradeWithKey(int digit);
    // Ctrl+Z: takes back the newest held grade and selects its reflection again.
    void undoLast();
    // J/K and the arrows: the next or previous row.
    void moveBy(int step);
    // Space / Shift+Space: a page of the text down or up.
    void pageText(int direction);
    // Enter: the first picture in the browser.
    void openFirstPicture();

    // "待批阅 N 篇 · 本次已批 M 篇".
    QString progressText() const;
    // The teacher's reflections still waiting: those of the list in view, or, when it holds none
    // (the graded list), those the service lists as waiting, less the grades given here.
    int waitingCount() const;
    // Grades given at this desk that the service accepted.
    int gradedThisSitting() const;
    // The screen shows kept answers: no grade could reach the service.
    bool isOffline() const;
    // The reflection shown, 0 for none.
    qint64 shownFeelId() const { return m_shownFeelId; }
    // A detail fetched (shown or ahead).
    bool hasDetail(qint64 feelId) const;
    QList<qint64> prefetching() const;
    bool isBatchRunning() const;

signals:
    void progressChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build();
    // Every text the desk sets itself, in the current language.
    void applyTexts();
    void showUndoText();
    static QString shown(const QString &source);
    void fitText();
    void followSelection();
    void show(int row);
    void showDetail(const FeelDetailRsp &detail);
    void showGradeState();
    void fetch(qint64 feelId);
    void prefetchAfter(int row);
    int nextWaiting(int after) const;
    void selectRow(int row);
    void heldChanged(const QString &key);
    void rememberSelection();
    void restoreSelection();
    void runBatch(const QList<qint64> &feelIds, int code);
    void endBatch();
    void updateProgress();
    int firstToShow() const;

    QPointer<QListView> m_list;
    QPointer<FeelRows> m_rows;
    QList<QMetaObject::Connection> m_listConnections;

    DeskDetails *m_details;
    qint64 m_shownFeelId = 0;
    int m_shownRow = -1;
    QSet<qint64> m_gradedHere;

    // Across a reload of the list.
    QList<qint64> m_selectedBeforeReset;
    qint64 m_currentBeforeReset = 0;
    int m_currentRowBeforeReset = -1;

    QPointer<BatchGrading> m_batch;
    WaitingTally *m_tally;

    QLabel *m_progress = nullptr;
    QLabel *m_heading = nullptr;
    QTextBrowser *m_text = nullptr;
    PictureGrid *m_pictures = nullptr;
    QWidget *m_gradeBar = nullptr;
    QList<QPushButton *> m_gradeButtons;
    QLabel *m_gradeState = nullptr;
    QLabel *m_batchLine = nullptr;
    QWidget *m_undoBar = nullptr;
    QLabel *m_undoText = nullptr;
    QPushButton *m_undoButton = nullptr;
    QLabel *m_allDone = nullptr;
    QWidget *m_page = nullptr;
};
