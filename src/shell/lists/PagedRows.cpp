#include "PagedRows.h"

#include "BasicVC.h"
#include "ImageLoader.h"
#include "LoadMoreFooter.h"
#include "NothingView.h"
#include "RefreshHeader.h"
#include "Toast.h"

#include <QGuiApplication>

Q_LOGGING_CATEGORY(lcRows, "teacher.rows")

PagedRowsBase::PagedRowsBase(QObject *parent)
    : QAbstractListModel(parent)
    , m_images(ImageMemoryKilobytes) {}

PagedRowsBase::~PagedRowsBase() = default;

QString PagedRowsBase::cappedText() {
    return tr("只显示前 %n 条", nullptr, MaxRows);
}

void PagedRowsBase::setPageSize(int size) {
    if (size < 1) {
        qCWarning(lcRows) << "page size" << size << "ignored";
        return;
    }
    m_pageSize = size;
}

void PagedRowsBase::setSinglePage(bool singlePage) {
    m_singlePage = singlePage;
    if (singlePage) {
        m_hasMore = false;
        delete m_footer;
    }
}

void PagedRowsBase::refresh() {
    requestPage(1);
}

void PagedRowsBase::reloadWithSpinner() {
    if (m_header && !m_header->isRefreshing())
        m_header->beginRefreshing();
    else
        refresh();
}

void PagedRowsBase::loadMore() {
    if (m_singlePage || isLoading())
        return;
    if (count() >= MaxRows) {
        endControls();
        Toast::show(cappedText());
        return;
    }
    requestPage(m_page + 1);
}

bool PagedRowsBase::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && !m_singlePage && m_hasMore && !isLoading() && m_request &&
           count() < MaxRows;
}

void PagedRowsBase::fetchMore(const QModelIndex &parent) {
    if (canFetchMore(parent))
        loadMore();
}

void PagedRowsBase::requestPage(int page) {
    if (!m_request) {
        qCWarning(lcRows) << "no page request set; page" << page << "not asked for";
        endControls();
        return;
    }
    m_ticket = ++m_serial;
    setRequested(page);
    removeCover();
    m_request(page, m_pageSize);
}

void PagedRowsBase::setRequested(int page) {
    const bool wasLoading = isLoading();
    m_requested = page;
    if (page == 0)
        m_ticket = 0;
    if (wasLoading != isLoading())
        emit loadingChanged(isLoading());
}

quint64 PagedRowsBase::ticketFor(int page) const {
    return page > 0 && page == m_requested ? m_ticket : 0;
}

bool PagedRowsBase::acceptPage(quint64 ticket, int page, int rowsInPage, bool capped,
                               bool keptAhead) {
    if (ticket == 0 || ticket != m_ticket) {
        qCDebug(lcRows) << "stale answer for page" << page << "dropped";
        return false;
    }
    // The state is final before the rows change: views ask canFetchMore() from the change signals.
    m_page = page;
    m_hasMore = !m_singlePage && !capped && rowsInPage >= m_pageSize;
    if (!keptAhead)
        setRequested(0);
    endControls();
    return true;
}

void PagedRowsBase::pageShown(int page, int rowsInPage, bool capped) {
    if (capped) {
        qCWarning(lcRows) << "an answer went past" << MaxRows << "rows; the rest is not shown";
        Toast::show(cappedText());
    }
    // Kept rows may have shown the cover, or the service's may empty a list.
    removeCover();
    coverIfEmpty();
    emit pageLoaded(page, rowsInPage);
}

void PagedRowsBase::pageFailed(int page) {
    failRequest(ticketFor(page));
}

void PagedRowsBase::failRequest(quint64 ticket) {
    if (ticket == 0 || ticket != m_ticket) {
        qCDebug(lcRows) << "stale failure dropped";
        return;
    }
    const int page = m_requested;
    setRequested(0);
    endControls();
    coverIfEmpty();
    emit loadFailed(page);
}

void PagedRowsBase::keptRowsConfirmed(quint64 ticket) {
    if (ticket == 0 || ticket != m_ticket)
        return;
    setRequested(0);
    endControls();
}

void PagedRowsBase::resetPaging() {
    m_page = 0;
    m_hasMore = false;
    setRequested(0);
    endControls();
    removeCover();
}

void PagedRowsBase::attach(QAbstractScrollArea *list, BasicVC *screen, std::function<void()> pull) {
    if (!list)
        return;
    m_list = list;
    m_screen = screen;
    QPointer<PagedRowsBase> self(this);
    m_header = RefreshHeader::attach(list, [self, pull = std::move(pull)] {
        if (!self)
            return;
        if (pull)
            pull();
        else
            self->refresh();
    });
    if (m_singlePage)
        return;
    m_footer = LoadMoreFooter::attach(list, [self] {
        if (self)
            self->loadMore();
    });
}

void PagedRowsBase::endControls() {
    if (m_header)
        m_header->endRefreshing();
    if (m_footer)
        m_footer->endRefreshing();
}

// Only this list's cover: a screen with several lists keeps the covers of the others.
void PagedRowsBase::removeCover() {
    if (!m_screen || !m_list)
        return;
    const auto covers = m_list->findChildren<NothingView *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(covers);
}

// Also after a failure: the cover was taken off for the load, and the list is still known empty.
void PagedRowsBase::coverIfEmpty() {
    if (m_screen && m_list && m_page > 0 && count() == 0)
        m_screen->showNothingViewForView(m_list);
}

QVariant PagedRowsBase::imageFor(const QString &url) const {
    if (const QPixmap *hit = m_images.object(url))
        return *hit;
    if (!ImageLoader::isLoadableUrl(url) || m_imagesAsked.contains(url) ||
        m_imagesMissing.contains(url) ||
        !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    m_imagesAsked.insert(url);
    auto *self = const_cast<PagedRowsBase *>(this);
    // A memory hit answers inside fetch(): data() returns it, no dataChanged from inside data().
    m_fetchingInline = true;
    ImageLoader::instance().fetch(
        url, self, [self, url](const QPixmap &image) { self->imageArrived(url, image); });
    m_fetchingInline = false;
    const QPixmap *image = m_images.object(url);
    return image ? QVariant(*image) : QVariant();
}

void PagedRowsBase::imageArrived(const QString &url, const QPixmap &image) {
    if (!m_imagesAsked.remove(url))
        return; // forgotten since (clear())
    if (image.isNull()) {
        m_imagesMissing.insert(url);
        return;
    }
    const QPixmap kept =
        m_imageBound.isEmpty() || image.size().boundedTo(m_imageBound) == image.size()
            ? image
            : image.scaled(m_imageBound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_images.insert(url, new QPixmap(kept),
                    std::max<qint64>(1, qint64(kept.width()) * kept.height() * 4 / 1024));
    if (m_fetchingInline)
        return;
    const QList<int> rows = rowsShowing(url);
    for (int row : rows)
        emit dataChanged(index(row), index(row), {m_imageRole});
}

void PagedRowsBase::setImageBound(QSize bound) {
    if (bound.isEmpty())
        bound = {};
    if (bound == m_imageBound)
        return;
    m_imageBound = bound;
    // Failed images stay failed: only the kept copies are of the wrong size.
    m_images.clear();
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1), {m_imageRole});
}

void PagedRowsBase::dropImageCache() {
    m_images.clear();
    m_imagesMissing.clear();
}

void PagedRowsBase::forgetImages() {
    dropImageCache();
    m_imagesAsked.clear();
}
