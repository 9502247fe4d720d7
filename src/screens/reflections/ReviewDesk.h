#pragma once

#include "records/ContentRecords.h"

#include <QHash>
#include <QList>
#include <QListView>
#include <QPointer>
#include <QSet>
#include <QWidget>

class FeelRows;
class PictureGrid;
class QLabel;

class QPushButton;
class QTextBrowser;

// The right half of the wide review screen: the reflection selected in the list beside it, and
// the teacher's grading from the keyboard. A grade key holds the grade for the undo window and
// moves on to the next waiting reflection; with several waiting ones selected it asks once and
// grades them all. The next two waiting reflections are fetched ahead, so moving on shows them
// at once. The list belongs to the screen; the desk only follows and moves its selection.
class ReviewDesk : public QWidget {
    Q_OBJECT
public:
    // Grades of a batch on their way at once.
    static constexpr int BatchInFlight = 4;
    // Reflections fetched ahead of the one shown.
    static constexpr int Prefetched = 2;
    // Details kept for moving back and forth; the oldest go first.
    static constexpr int KeptDetails = 32;
    // A reflection is a child's page or two; a longer answer is cut rather than laid out whole.
    static constexpr int MaxTextLength = 20'000;
    static constexpr int MinTextHeight = 60;
    inline static const QString AllDoneText = QStringLiteral("全部批阅完成");

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
    int waitingCount() const;
    int gradedThisSitting() const;
    // The reflection shown, 0 for none.
    qint64 shownFeelId() const { return m_shownFeelId; }
    // A detail fetched (shown or ahead).
    bool hasDetail(qint64 feelId) const { return m_details.contains(feelId); }
    QList<qint64> prefetching() const { return m_prefetching.values(); }
    bool isBatchRunning() const { return m_batchLeft > 0; }

signals:
    void progressChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    void fitText();
    void followSelection();
    void show(int row);
    void showDetail(const FeelDetailRsp &detail);
    void showGradeState();
    void fetch(qint64 feelId);
    void prefetchAfter(int row);
    void keep(qint64 feelId, const FeelDetailRsp &detail);
    int nextWaiting(int after) const;
    void selectRow(int row);
    void heldChanged(const QString &key);
    void rememberSelection();
    void restoreSelection();
    void runBatch(const QList<qint64> &feelIds, int code);
    void pumpBatch();
    void endBatch();
    void updateProgress();

    QPointer<QListView> m_list;
    QPointer<FeelRows> m_rows;
    QList<QMetaObject::Connection> m_listConnections;
    quint64 m_generation = 0;

    QHash<qint64, FeelDetailRsp> m_details;
    QList<qint64> m_detailOrder;
    QSet<qint64> m_prefetching;
    qint64 m_shownFeelId = 0;
    int m_shownRow = -1;
    QSet<qint64> m_gradedHere;

    // Across a reload of the list.
    QList<qint64> m_selectedBeforeReset;
    qint64 m_currentBeforeReset = 0;
    int m_currentRowBeforeReset = -1;

    // The batch running: what is left to send, what is out, what failed and why.
    QList<qint64> m_batchQueue;
    int m_batchCode = 0;
    int m_batchLeft = 0;
    int m_batchTotal = 0;
    QList<qint64> m_batchFailed;
    QStringList m_batchWhy;
    bool m_batchAccepted = false;

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
