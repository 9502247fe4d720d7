#include "ReviewDesk.h"

#include "AlertView.h"
#include "AnswerHandling.h"
#include "BatchGrading.h"
#include "DeskDetails.h"
#include "FeelRows.h"
#include "FrameStyle.h"
#include "GradePost.h"
#include "GradeVocabulary.h"
#include "HeldChanges.h"
#include "NotificationCenter.h"
#include "OfflineBar.h"
#include "PictureGrid.h"
#include "StyleTokens.h"
#include "Toast.h"
#include "WaitingTally.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtMath>

namespace {
constexpr int Margin = 24;
constexpr int GradeButtonHeight = 40;
} // namespace

ReviewDesk::ReviewDesk(QWidget *parent)
    : QWidget(parent)
    , m_details(new DeskDetails(this))
    , m_tally(new WaitingTally(this)) {
    setObjectName(QStringLiteral("reviewDesk"));
    build();
    connect(m_details, &DeskDetails::arrived, this, [this](qint64 feelId) {
        if (feelId == m_shownFeelId)
            showDetail(*m_details->find(feelId));
    });
    connect(&HeldChanges::instance(), &HeldChanges::changed, this, &ReviewDesk::heldChanged);
    // Grades given anywhere change what waits; the lists reload on the same notice.
    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_GRADE,
                                    [this] { m_tally->follow(m_rows); });
    connect(m_tally, &WaitingTally::changed, this, &ReviewDesk::updateProgress);
}

void ReviewDesk::build() {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(Margin, 16, Margin, 16);
    outer->setSpacing(12);

    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("deskProgress"));
    m_progress->setStyleSheet(
        StyleTokens::expand(QStringLiteral("color: frame(muted); font-size: 13px;")));
    outer->addWidget(m_progress);

    m_page = new QWidget(this);
    auto *page = new QVBoxLayout(m_page);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    m_heading = new QLabel(m_page);
    m_heading->setObjectName(QStringLiteral("deskHeading"));
    m_heading->setStyleSheet(StyleTokens::expand(
        QStringLiteral("color: frame(title); font-size: 17px; font-weight: bold;")));
    m_heading->setTextFormat(Qt::PlainText);
    page->addWidget(m_heading);
    m_text = new QTextBrowser(m_page);
    m_text->setObjectName(QStringLiteral("deskText"));
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setStyleSheet(
        StyleTokens::expand(QStringLiteral("font-size: 16px; color: frame(text);")));
    page->addWidget(m_text, 1);
    m_pictures = new PictureGrid(m_page);
    m_pictures->setObjectName(QStringLiteral("deskPictures"));
    page->addWidget(m_pictures);
    page->addStretch();

    m_gradeBar = new QWidget(m_page);
    m_gradeBar->setStyleSheet(StyleTokens::buttonSheet(false));
    auto *grades = new QHBoxLayout(m_gradeBar);
    grades->setContentsMargins(0, 0, 0, 0);
    for (int digit = 1; digit <= 4; ++digit) {
        const auto grade = GradeVocabulary::byKey(digit);
        auto *button = new QPushButton(m_gradeBar);
        button->setObjectName(QStringLiteral("deskGrade%1").arg(digit));
        button->setMinimumHeight(GradeButtonHeight);
        button->setFocusPolicy(Qt::TabFocus);
        StyleTokens::markKeyboardFocus(button);
        connect(button, &QPushButton::clicked, this, [this, digit] { gradeWithKey(digit); });
        grades->addWidget(button);
        m_gradeButtons.append(button);
    }
    page->addWidget(m_gradeBar);
    m_gradeState = new QLabel(m_page);
    m_gradeState->setObjectName(QStringLiteral("deskGradeState"));
    m_gradeState->setStyleSheet(QStringLiteral("font-size: 15px;"));
    page->addWidget(m_gradeState);
    outer->addWidget(m_page, 1);

    m_allDone = new QLabel(this);
    m_allDone->setObjectName(QStringLiteral("deskAllDone"));
    m_allDone->setAlignment(Qt::AlignCenter);
    m_allDone->setStyleSheet(
        QStringLiteral("color: %1; font-size: 20px;").arg(QColor(FrameStyle::TitleColor).name()));
    outer->addWidget(m_allDone, 1);

    m_batchLine = new QLabel(this);
    m_batchLine->setObjectName(QStringLiteral("deskBatchLine"));
    m_batchLine->setWordWrap(true);
    outer->addWidget(m_batchLine);

    m_undoBar = new QWidget(this);
    m_undoBar->setObjectName(QStringLiteral("undoBar"));
    m_undoBar->setAutoFillBackground(true);
    QPalette bar = m_undoBar->palette();
    bar.setColor(QPalette::Window, QColor(FrameStyle::SelectionTint));
    m_undoBar->setPalette(bar);
    auto *undo = new QHBoxLayout(m_undoBar);
    undo->setContentsMargins(12, 6, 6, 6);
    m_undoText = new QLabel(m_undoBar);
    m_undoText->setObjectName(QStringLiteral("undoText"));
    undo->addWidget(m_undoText, 1);
    m_undoButton = new QPushButton(m_undoBar);
    m_undoButton->setObjectName(QStringLiteral("undoButton"));
    m_undoButton->setFocusPolicy(Qt::TabFocus);
    m_undoButton->setStyleSheet(StyleTokens::buttonSheet(false));
    StyleTokens::markKeyboardFocus(m_undoButton);
    connect(m_undoButton, &QPushButton::clicked, this, &ReviewDesk::undoLast);
    undo->addWidget(m_undoButton);
    outer->addWidget(m_undoBar);

    m_page->hide();
    m_batchLine->hide();
    m_undoBar->hide();
    applyTexts();
}

void ReviewDesk::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        applyTexts();
}

QString ReviewDesk::shown(const QString &source) {
    return tr(source.toUtf8().constData());
}

void ReviewDesk::applyTexts() {
    setAccessibleName(tr("读后感批阅"));
    m_text->setAccessibleName(tr("读后感内容"));
    for (int digit = 1; digit <= m_gradeButtons.size(); ++digit) {
        const auto grade = GradeVocabulary::byKey(digit);
        if (!grade)
            continue;
        const QString name = GradeVocabulary::displayText(grade->text);
        QPushButton *button = m_gradeButtons.at(digit - 1);
        button->setText(QStringLiteral("%1  %2").arg(digit).arg(name));
        button->setAccessibleName(name);
        //: A grade button's tip: the key, then the grade.
        button->setToolTip(tr("按 %1 批为「%2」").arg(digit).arg(name));
    }
    m_allDone->setText(shown(AllDoneText));
    //: The undo button; Ctrl+Z is its key.
    m_undoButton->setText(tr("撤销 Ctrl+Z"));
    m_undoButton->setAccessibleName(tr("撤销"));
    showUndoText();
    showGradeState();
    updateProgress();
}

void ReviewDesk::showUndoText() {
    if (const auto last = HeldChanges::instance().lastHeld())
        m_undoText->setText(
            tr("已批为「%1」").arg(GradeVocabulary::displayTextForCode(last->second.toInt())));
}

void ReviewDesk::setList(QListView *list, FeelRows *rows) {
    for (const auto &connection : std::as_const(m_listConnections))
        disconnect(connection);
    m_listConnections.clear();
    // Whatever was being fetched ahead belongs to the list left behind.
    m_details->drop();
    m_list = list;
    m_rows = rows;
    m_shownFeelId = 0;
    m_shownRow = -1;
    m_selectedBeforeReset.clear();
    m_currentBeforeReset = 0;
    if (list && rows && list->model() != rows) {
        // A list first shown after it was handed over gets its rows, and a new selection model,
        // only then. Followed from its first load on, the desk's reset handling comes after the
        // view's, which would otherwise clear the selection the desk just restored.
        m_listConnections << connect(rows, &QAbstractItemModel::modelAboutToBeReset, this,
                                     [this, list = QPointer(list), rows] { setList(list, rows); });
    } else if (list && rows) {
        m_listConnections << connect(list->selectionModel(), &QItemSelectionModel::currentChanged,
                                     this, [this] { followSelection(); })
                          << connect(rows, &QAbstractItemModel::modelAboutToBeReset, this,
                                     &ReviewDesk::rememberSelection)
                          << connect(rows, &QAbstractItemModel::modelReset, this,
                                     [this] {
                                         m_tally->follow(m_rows);
                                         restoreSelection();
                                     })
                          << connect(rows, &QAbstractItemModel::dataChanged, this,
                                     [this] { updateProgress(); });
        if (!list->currentIndex().isValid())
            selectRow(firstToShow());
    }
    m_tally->follow(rows);
    followSelection();
}

int ReviewDesk::firstToShow() const {
    // The first waiting reflection; in a list without one (the graded list), its first row, shown
    // with its grade.
    const int waiting = nextWaiting(-1);
    return waiting >= 0 || !m_rows || m_rows->rowCount() == 0 ? waiting : 0;
}

void ReviewDesk::followSelection() {
    const int row = m_list ? m_list->currentIndex().row() : -1;
    show(row);
}

void ReviewDesk::show(int row) {
    m_shownRow = row;
    const bool valid = m_rows && m_rows->isValidRow(row);
    m_shownFeelId = valid ? m_rows->at(row).FeelId : 0;
    updateProgress();
    if (!valid) {
        m_page->hide();
        m_allDone->setVisible(m_rows && waitingCount() == 0);
        return;
    }
    m_allDone->hide();
    m_page->show();
    const GradeListModel &record = m_rows->at(row);
    //: The reflection's heading: the pupil, the book's title, the time it was written.
    m_heading->setText(tr("%1 ·《%2》 · %3")
                           .arg(record.RealName.value_or(QString()),
                                record.BookName.value_or(QString()),
                                record.CreateTimeStr.value_or(QString())));
    showGradeState();
    if (const FeelDetailRsp *detail = m_details->find(m_shownFeelId)) {
        showDetail(*detail);
    } else {
        m_text->clear();
        m_pictures->setPictureItems({});
        fetch(m_shownFeelId);
    }
    prefetchAfter(row);
}

void ReviewDesk::showDetail(const FeelDetailRsp &detail) {
    m_text->setPlainText(detail.Content.value_or(QString()).left(MaxTextLength));
    m_pictures->setPictureItems(PictureGrid::itemsOf(detail));
    fitText();
}

void ReviewDesk::fitText() {
    // As tall as the text, so the pictures follow it; a longer text scrolls in what is left.
    QTextDocument *document = m_text->document();
    document->setTextWidth(m_text->viewport()->width());
    const int margins = m_text->height() - m_text->viewport()->height();
    m_text->setMaximumHeight(qMax(MinTextHeight, qCeil(document->size().height()) + margins));
}

void ReviewDesk::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    fitText();
}

void ReviewDesk::showGradeState() {
    if (!m_rows || !m_rows->isValidRow(m_shownRow))
        return;
    const QModelIndex index = m_rows->index(m_shownRow);
    const bool waiting = index.data(FeelRows::WaitingRole).toBool();
    const bool offline = isOffline();
    m_gradeBar->setVisible(waiting);
    for (QPushButton *button : std::as_const(m_gradeButtons))
        button->setEnabled(!offline);
    m_gradeState->setVisible(!waiting || offline);
    if (waiting && offline) {
        m_gradeState->setText(shown(OfflineText));
        m_gradeState->setStyleSheet(
            StyleTokens::expand(QStringLiteral("font-size: 15px; color: frame(muted);")));
    } else if (!waiting) {
        const bool pending = index.data(FeelRows::PendingRole).toBool();
        const QString grade = index.data(FeelRows::TypeTextRole).toString();
        m_gradeState->setText(pending ? tr("已批为「%1」，待发送").arg(grade)
                                      : tr("已批阅：%1").arg(grade));
        m_gradeState->setStyleSheet(
            QStringLiteral("font-size: 15px; color: %1;")
                .arg(index.data(FeelRows::TypeColorRole).value<QColor>().name()));
    }
}

void ReviewDesk::fetch(qint64 feelId) {
    m_details->fetch(feelId, [this](qint64 id) { return id == m_shownFeelId; });
}

void ReviewDesk::prefetchAfter(int row) {
    int from = row;
    for (int n = 0; n < Prefetched; ++n) {
        const int next = nextWaiting(from);
        if (next < 0 || next == row)
            return;
        fetch(m_rows->at(next).FeelId);
        from = next;
    }
}

int ReviewDesk::nextWaiting(int after) const {
    if (!m_rows)
        return -1;
    const int count = m_rows->rowCount();
    // Onwards first, then from the top: the teacher works down the list.
    for (int step = 1; step <= count; ++step) {
        const int row = (after + step) % count;
        if (row >= 0 && m_rows->isWaiting(row) && row != after)
            return row;
    }
    return -1;
}

void ReviewDesk::selectRow(int row) {
    if (!m_list || !m_list->selectionModel())
        return;
    if (!m_rows->isValidRow(row)) {
        m_list->selectionModel()->clear();
        show(-1);
        return;
    }
    const QModelIndex index = m_rows->index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}

void ReviewDesk::gradeWithKey(int digit) {
    const auto grade = GradeVocabulary::byKey(digit);
    if (!grade || !m_list || !m_list->selectionModel() || !m_rows || isBatchRunning())
        return;
    if (isOffline()) {
        // A grade held now could only come back refused once its window ends.
        Toast::show(shown(OfflineText));
        return;
    }
    QList<qint64> waiting;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes()) {
        if (index.data(FeelRows::WaitingRole).toBool())
            waiting.append(index.data(FeelRows::FeelIdRole).toLongLong());
    }
    if (waiting.size() > 1) {
        const int code = grade->code;
        QPointer<ReviewDesk> desk = this;
        AlertView::show(QString(),
                        tr("将 %n 篇读后感批为「%1」？", nullptr, int(waiting.size()))
                            .arg(GradeVocabulary::displayText(grade->text)),
                        {tr("取消"), tr("确定")}, [desk, waiting, code](int button) {
                            if (desk && button == 1 && !desk->isBatchRunning())
                                desk->runBatch(waiting, code);
                        });
        return;
    }
    const int row = m_list->currentIndex().row();
    // Graded elsewhere, reloaded, or held already: the key sends nothing.
    if (!m_rows->isWaiting(row))
        return;
    const qint64 feelId = m_rows->at(row).FeelId;
    m_gradedHere.insert(feelId);
    GradePost::hold(feelId, grade->code);
    selectRow(nextWaiting(row));
}

void ReviewDesk::undoLast() {
    const auto last = HeldChanges::instance().lastHeld();
    if (!last)
        return;
    HeldChanges::instance().takeBackLast();
    const qint64 feelId = last->first.section(QLatin1Char(':'), 1).toLongLong();
    m_gradedHere.remove(feelId);
    if (m_rows)
        selectRow(m_rows->rowOfFeel(feelId));
}

void ReviewDesk::moveBy(int step) {
    if (!m_list || !m_rows || m_rows->rowCount() == 0)
        return;
    const int row = qBound(0, m_list->currentIndex().row() + step, m_rows->rowCount() - 1);
    selectRow(row);
}

void ReviewDesk::pageText(int direction) {
    QScrollBar *bar = m_text->verticalScrollBar();
    bar->setValue(bar->value() + direction * bar->pageStep());
}

void ReviewDesk::openFirstPicture() {
    if (m_page->isVisible())
        m_pictures->openBrowserAt(0);
}

void ReviewDesk::heldChanged(const QString &key) {
    if (key == FeelRows::gradeKey(m_shownFeelId))
        showGradeState();
    const auto last = HeldChanges::instance().lastHeld();
    m_undoBar->setVisible(last.has_value());
    showUndoText();
    // A refused or taken back grade is waiting again and no longer counts as graded here.
    const qint64 feelId = key.section(QLatin1Char(':'), 1).toLongLong();
    if (HeldChanges::instance().state(key) == HeldChanges::State::None)
        m_gradedHere.remove(feelId);
    updateProgress();
}

void ReviewDesk::rememberSelection() {
    m_selectedBeforeReset.clear();
    if (!m_list || !m_rows)
        return;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes())
        m_selectedBeforeReset.append(index.data(FeelRows::FeelIdRole).toLongLong());
    m_currentBeforeReset = m_shownFeelId;
    m_currentRowBeforeReset = m_shownRow;
}

void ReviewDesk::restoreSelection() {
    if (!m_list || !m_rows)
        return;
    // A reload keeps what the teacher had selected; a reflection that left the list (graded
    // from the waiting list) hands over to the next waiting one from where it stood.
    int current = m_rows->rowOfFeel(m_currentBeforeReset);
    if (current < 0 && m_currentBeforeReset != 0)
        current = nextWaiting(qMax(-1, m_currentRowBeforeReset - 1));
    QItemSelection selection;
    for (qint64 feelId : std::as_const(m_selectedBeforeReset)) {
        const int row = m_rows->rowOfFeel(feelId);
        if (row >= 0)
            selection.select(m_rows->index(row), m_rows->index(row));
    }
    QItemSelectionModel *model = m_list->selectionModel();
    if (current >= 0)
        model->setCurrentIndex(m_rows->index(current), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current >= 0 && selection.isEmpty())
        model->select(m_rows->index(current), QItemSelectionModel::Select);
    // A list that comes without anything chosen opens on its first waiting reflection: the
    // teacher starts grading with a key, not with a click.
    if (current < 0 && selection.isEmpty() && m_currentBeforeReset == 0) {
        selectRow(firstToShow());
        return;
    }
    show(current);
}

void ReviewDesk::runBatch(const QList<qint64> &feelIds, int code) {
    for (qint64 feelId : feelIds)
        m_gradedHere.insert(feelId);
    m_batch = BatchGrading::start(feelIds, code);
    m_batch->setWatcher(this);
    m_batchLine->setText(m_batch->progressText());
    m_batchLine->show();
    connect(m_batch, &BatchGrading::progressed, this,
            [this] { m_batchLine->setText(m_batch->progressText()); });
    connect(m_batch, &BatchGrading::finished, this, &ReviewDesk::endBatch);
}

bool ReviewDesk::isBatchRunning() const {
    return m_batch && m_batch->isRunning();
}

void ReviewDesk::endBatch() {
    m_batchLine->setText(m_batch->summaryText());
    // The reload keeps the selection: what failed stays selected and waiting.
    if (m_list && m_rows && m_list->selectionModel()) {
        QItemSelection selection;
        for (qint64 feelId : m_batch->failed()) {
            const int row = m_rows->rowOfFeel(feelId);
            if (row >= 0)
                selection.select(m_rows->index(row), m_rows->index(row));
        }
        m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    updateProgress();
}

int ReviewDesk::waitingCount() const {
    return m_tally->count();
}

int ReviewDesk::gradedThisSitting() const {
    // Held or on its way is not graded yet: the service may still refuse it.
    return int(std::count_if(m_gradedHere.cbegin(), m_gradedHere.cend(), [](qint64 feelId) {
        return HeldChanges::instance().state(FeelRows::gradeKey(feelId)) ==
               HeldChanges::State::Accepted;
    }));
}

bool ReviewDesk::isOffline() const {
    return OfflineBar::of(const_cast<ReviewDesk *>(this)) != nullptr;
}

QString ReviewDesk::progressText() const {
    //: The review desk's progress: reflections still waiting, then those graded this sitting.
    return tr("待批阅 %1 篇 · 本次已批 %2 篇").arg(waitingCount()).arg(gradedThisSitting());
}

void ReviewDesk::updateProgress() {
    m_progress->setText(progressText());
    if (m_page && !m_page->isVisible())
        m_allDone->setVisible(waitingCount() == 0 && m_rows);
    emit progressChanged();
}

bool ReviewDesk::hasDetail(qint64 feelId) const {
    return m_details->has(feelId);
}

QList<qint64> ReviewDesk::prefetching() const {
    return m_details->fetching();
}
