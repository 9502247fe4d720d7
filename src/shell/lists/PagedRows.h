#pragma once

// The paged list model every list screen uses. The pattern for a new list:
//
//     // model: rows of a record, a cell's named parts as roles (tests read the model, not pixels)
//     enum BookRole { NameRole = Qt::UserRole + 1, FlowerRole };
//     m_books = new PagedRows<BookListModel>([](const BookListModel &b, int role) -> QVariant {
//         return role == NameRole ? QVariant(b.BookName.value_or(QString())) : QVariant();
//     }, this);
//     // images: the model loads each row's URL through ImageLoader and emits dataChanged
//     m_books->setImageUrlOf([](const BookListModel &b) { return b.ImageUrl.value_or(""); });
//     m_books->setPageRequest([this](int page, int size) {
//         GetBookListReq req; req.pageIndex = page; req.pageSize = size; /* ... */
//         auto answer = m_books->answerForPage<GetBookListRsp>(this, page, [](const auto &rsp) {
//             return QList<BookListModel>(rsp.bookList.value_or(RecordArray<BookListModel>()));
//         });
//         answer.send(req);
//     });
//     // view: a QListView (IconMode for grids) + one QStyledItemDelegate per cell kind that
//     // paints the cell's layout from the roles (the cover is a QPixmap under DecorationRole)
//     ui->grid->setModel(m_books);
//     ui->grid->setItemDelegate(new BookCellDelegate(ui->grid));
//     m_books->attach(ui->grid, this); // pull-down refresh, pull-up load-more, empty-data cover
//     m_books->header()->beginRefreshing(); // the first load, with the spinner
//
// A list the service sends whole, in one answer, is the same with one line more, before attach():
//
//     m_books->setSinglePage(true); // page 1 only; no load-more footer, nothing to fetch
//
// src/screens/personal/MyCollectionVC.cpp is the reference to copy whole (a single-page grid).
// A list with more to it derives `class FeelRows : public PagedRows<GradeListModel>`
// and overrides rowData() instead of passing a role function.

#include "AnswerHandling.h"

#include <QAbstractListModel>
#include <QCache>
#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPointer>
#include <QSet>

#include <concepts>
#include <functional>

class BasicVC;
class LoadMoreFooter;
class QAbstractScrollArea;
class RefreshHeader;

Q_DECLARE_LOGGING_CATEGORY(lcRows)

// Page bookkeeping, the refresh controls, the empty-data cover and the row images: everything that
// does not depend on the record type. One request counts at a time: a refresh makes the answer of
// any earlier request stale, and stale answers (and failures) are dropped.
// The first page of an empty list is asked KeptFirst: the rows kept from an earlier visit show at
// once, with the refresh controls ended, while the request runs on; the service's page then
// replaces them in place. A page 1 that replaces rows changes only what differs: rows equal to
// the ones shown stay (with their selection and the scroll position); only a page of another
// length resets the list.
// A failed page leaves the page counter where it was, so the next pull asks for the same page, and
// leaves the rows as they were.
// A list holds at most MaxRows rows, as a reflection holds at most PictureGrid::MaxPictures
// pictures: what it shows costs the window the same whatever the service sends.
class PagedRowsBase : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int DefaultPageSize = 9;
    // A class, a teacher's reflections or a report fit with room to spare. A capped list shows its
    // first MaxRows rows in the order they came: the rest of the answer that went past them is
    // left out, no page after them is asked for (a pull-up only ends), and the toast cappedText()
    // says so.
    static constexpr int MaxRows = 1000;
    static QString cappedText();
    using PageRequest = std::function<void(int pageIndex, int pageSize)>;

    explicit PagedRowsBase(QObject *parent = nullptr);
    ~PagedRowsBase() override;

    // Fires the catalogue call for one page; its answer comes back through answerForPage() (or
    // pageArrived() / pageFailed()). Without one, loads end at once and nothing is asked.
    void setPageRequest(PageRequest request) { m_request = std::move(request); }
    int pageSize() const { return m_pageSize; }
    // Sizes below 1 are ignored.
    void setPageSize(int size);

    // The last page that arrived (0 before any); the page being asked for (0 when none).
    int currentPage() const { return m_page; }
    int requestedPage() const { return m_requested; }
    bool isLoading() const { return m_requested != 0; }
    // The last page came back full. The load-more footer does not look at it (it stays available
    // after the last page); views' automatic fetchMore() does.
    bool hasMore() const { return m_hasMore; }

    // The whole list comes in one answer: a refresh asks for page 1, and there is never a next
    // page (no load-more footer, loadMore() and fetchMore() ask for nothing).
    void setSinglePage(bool singlePage);
    bool isSinglePage() const { return m_singlePage; }

    int count() const { return rowCount(); }
    bool isValidRow(int row) const { return row >= 0 && row < count(); }

    // Page 1, whatever is running.
    void refresh();
    // Page 1 under the refresh header's spinner (as a pull-down would); when the header already
    // spins, page 1 is asked again at once, so a load that predates the reason to reload is
    // overtaken rather than waited for.
    void reloadWithSpinner();
    // The page after the current one; nothing while a load runs (its answer ends the footer), nor
    // for a single-page list, nor once the list holds MaxRows rows.
    void loadMore();
    // The answer for `page` failed or was refused; nothing when `page` is not the one asked for.
    void pageFailed(int page);
    // No rows, no page, nothing running: an answer still in flight is dropped.
    virtual void clear() = 0;

    // Puts the pull-down refresh header and, unless the list is single-page, the pull-up load-more
    // footer (loadMore) on `list`, and ends them when a page arrives or fails. A pull-down calls
    // `pull`, refresh() when none is given (a screen whose reload first decides what to send).
    // With a screen, the empty-data cover over `list` goes before each load and comes back when
    // the list is empty after one.
    void attach(QAbstractScrollArea *list, BasicVC *screen = nullptr,
                std::function<void()> pull = {});
    RefreshHeader *header() const { return m_header; }
    LoadMoreFooter *footer() const { return m_footer; }

    // The role under which data() gives a row's loaded image as a QPixmap (default
    // Qt::DecorationRole); until it arrives, or when it cannot be had, the role function answers.
    int imageRole() const { return m_imageRole; }
    // Rows whose pictures are drawn smaller than they come keep a copy scaled once, as it arrives,
    // to fit `bound` (device pixels), instead of the full image: a long grid then holds every one
    // of its pictures and paints without decoding. An empty bound (the default) keeps images as
    // they come. A new bound drops the kept copies; rows showing them ask again.
    void setImageBound(QSize bound);
    QSize imageBound() const { return m_imageBound; }

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // A request made after the one of `ticket` overtook it.
    bool isSuperseded(quint64 ticket) const { return ticket != 0 && ticket < m_serial; }

signals:
    void pageLoaded(int page, int rowsInPage);
    void loadFailed(int page);
    void loadingChanged(bool loading);

protected:
    // The request running for `page`; 0 when `page` is not the one asked for.
    quint64 ticketFor(int page) const;
    // Bookkeeping of an answer; false (and nothing done) when it is stale. The rows change after.
    // A capped page counts as the last. A kept page handed over ahead of the service's ends the
    // controls but leaves its request running.
    bool acceptPage(quint64 ticket, int page, int rowsInPage, bool capped, bool keptAhead);
    // Whether the page about to be asked for may show kept rows first.
    bool asksKeptFirst(int page) const { return page == 1 && count() == 0; }
    void pageShown(int page, int rowsInPage, bool capped);
    void failRequest(quint64 ticket);
    // The service's page is the kept one already shown: the request ends with the rows as they
    // are.
    void keptRowsConfirmed(quint64 ticket);
    // The paging half of clear(), before the rows go.
    void resetPaging();
    // After a row was taken out: the empty-data cover when that was the last one.
    void rowRemoved() { coverIfEmpty(); }

    // The cached image of `url`; starts loading it (once) and gives an invalid QVariant meanwhile.
    QVariant imageFor(const QString &url) const;
    void setImageRoleValue(int role) { m_imageRole = role; }
    // After a reload: failed images are tried again, and pictures of rows that went do not pile
    // up (the loader's caches give the others back at once). Images on their way still arrive.
    void dropImageCache();
    void forgetImages();
    // Rows whose image is `url`, looked up when the image arrives: rows move and vanish meanwhile.
    virtual QList<int> rowsShowing(const QString &url) const = 0;

private:
    void requestPage(int page);
    void setRequested(int page);
    void endControls();
    void removeCover();
    void coverIfEmpty();
    void imageArrived(const QString &url, const QPixmap &image);

    PageRequest m_request;
    int m_pageSize = DefaultPageSize;
    int m_page = 0;
    int m_requested = 0;
    quint64 m_ticket = 0; // the running request; 0 when none
    quint64 m_serial = 0;
    bool m_hasMore = false;
    bool m_singlePage = false;

    QPointer<QAbstractScrollArea> m_list;
    QPointer<BasicVC> m_screen;
    QPointer<RefreshHeader> m_header;
    QPointer<LoadMoreFooter> m_footer;

    int m_imageRole = Qt::DecorationRole;
    QSize m_imageBound;
    // The rows' loaded images (scaled to the bound when there is one), the most recently shown
    // kept up to ImageMemoryKilobytes. One that went is asked of the image loader again when its
    // row shows, which has it in memory or on disk.
    static constexpr int ImageMemoryKilobytes = 48 * 1024;
    mutable QCache<QString, QPixmap> m_images;
    mutable QSet<QString> m_imagesMissing; // could not be had
    mutable QSet<QString> m_imagesAsked;
    mutable bool m_fetchingInline = false;
};

// The handler of one page's answer (PagedRows::answerForPage()): an AnswerHandler whose answer or
// failure is dropped before any handling once a newer request of the same list overtook it. The
// newer one takes the HUD down, ends the controls and says what went wrong; a late "无网络连接"
// or a spinner ended early would tell the teacher about a load that no longer counts.
template <class Rsp> class PageAnswer : public SendsRequest<PageAnswer<Rsp>, Rsp> {
public:
    PageAnswer(AnswerHandler<Rsp> answer, std::function<bool()> counts)
        : m_answer(std::move(answer))
        , m_counts(std::move(counts)) {}

    Fetch fetch() const { return m_answer.fetch(); }
    PageAnswer &dismissingHud(bool dismiss = true) {
        m_answer.dismissingHud(dismiss);
        return *this;
    }
    PageAnswer &endingRefresh(RefreshHeader *header, LoadMoreFooter *footer = nullptr) {
        m_answer.endingRefresh(header, footer);
        return *this;
    }
    ServiceCompletion completion() const {
        return [counts = m_counts,
                handle = m_answer.completion()](const std::optional<QJsonValue> &value) {
            if (counts())
                handle(value);
        };
    }
    ServiceFailure failure() const {
        return [counts = m_counts, handle = m_answer.failure()](const QString &text) {
            if (counts())
                handle(text);
        };
    }

private:
    AnswerHandler<Rsp> m_answer;
    std::function<bool()> m_counts;
};

template <class Record> class PagedRows : public PagedRowsBase {
public:
    using RoleData = std::function<QVariant(const Record &, int role)>;
    using ImageUrlOf = std::function<QString(const Record &)>;

    explicit PagedRows(RoleData data = {}, QObject *parent = nullptr)
        : PagedRowsBase(parent)
        , m_data(std::move(data)) {}

    // Rows with an image: its URL, and the role data() gives the QPixmap under.
    void setImageUrlOf(ImageUrlOf urlOf, int role = Qt::DecorationRole) {
        m_imageUrlOf = std::move(urlOf);
        setImageRoleValue(role);
    }

    const QList<Record> &rows() const { return m_rows; }
    // A default record for a row that is not there (check isValidRow() first).
    const Record &at(int row) const {
        static const Record none{};
        if (!isValidRow(row)) {
            qCWarning(lcRows) << "no row" << row << "of" << count();
            return none;
        }
        return m_rows.at(row);
    }

    // Page 1 replaces the rows, a later page is appended; a stale page is dropped.
    void pageArrived(int page, const QList<Record> &rows) { arrive(ticketFor(page), page, rows); }

    // The handler for the answer of `page`: the standard toasts, then the rows or the failure go
    // to this model. Make it inside the page request, so a later request makes it stale. Chain
    // dismissingHud() or endingRefresh() onto it for controls other than the attached ones.
    template <class Rsp>
    PageAnswer<Rsp> answerForPage(QObject *screen, int page,
                                  std::function<QList<Record>(const Rsp &)> rowsOf) {
        const quint64 ticket = ticketFor(page);
        QPointer<PagedRows> self(this);
        AnswerHandler<Rsp> answer(screen);
        answer.keptFirst(asksKeptFirst(page))
            .onSuccess([self, ticket, page, rowsOf = std::move(rowsOf)](const Rsp &rsp) {
                if (self)
                    self->arrive(ticket, page, rowsOf ? rowsOf(rsp) : QList<Record>());
            })
            .onUnchanged([self, ticket] {
                if (self)
                    self->keptRowsConfirmed(ticket);
            })
            .onRefusal([self, ticket](const Rsp &rsp) {
                AnswerHandling::showRefusal(rsp);
                if (self)
                    self->failRequest(ticket);
            })
            .onFailure([self, ticket] {
                if (self)
                    self->failRequest(ticket);
            });
        return {std::move(answer), [self, ticket] { return !self || !self->isSuperseded(ticket); }};
    }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    QVariant data(const QModelIndex &index, int role) const override {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
            return {};
        const Record &record = m_rows.at(index.row());
        if (role == imageRole() && m_imageUrlOf) {
            const QVariant image = imageFor(m_imageUrlOf(record).trimmed());
            if (image.isValid())
                return image;
        }
        return rowData(record, role);
    }

    // Takes one row out (a record deleted on the service); the paging stays as it is.
    void removeAt(int row) {
        if (!isValidRow(row))
            return;
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
        rowRemoved();
    }

    void clear() override {
        resetPaging();
        beginResetModel();
        m_rows.clear();
        forgetImages();
        endResetModel();
    }

protected:
    virtual QVariant rowData(const Record &record, int role) const {
        return m_data ? m_data(record, role) : QVariant();
    }

    QList<int> rowsShowing(const QString &url) const override {
        QList<int> found;
        if (m_imageUrlOf) {
            for (int row = 0; row < m_rows.size(); ++row) {
                if (m_imageUrlOf(m_rows.at(row)).trimmed() == url)
                    found.append(row);
            }
        }
        return found;
    }

private:
    static bool sameRow(const Record &a, const Record &b) {
        if constexpr (std::equality_comparable<Record>)
            return a == b;
        else if constexpr (requires { Record::recordType(); })
            return KeyValueMapping::keyValues(a) == KeyValueMapping::keyValues(b);
        else
            return false;
    }

    // Page 1 over the rows shown: the rows that differ change, the others are left alone.
    void replaceRows(const QList<Record> &rows) {
        if (rows.size() != m_rows.size()) {
            beginResetModel();
            m_rows = rows;
            dropImageCache();
            endResetModel();
            return;
        }
        int first = -1;
        int last = -1;
        for (int row = 0; row < rows.size(); ++row) {
            if (sameRow(m_rows.at(row), rows.at(row)))
                continue;
            m_rows[row] = rows.at(row);
            first = first < 0 ? row : first;
            last = row;
        }
        if (first >= 0)
            emit dataChanged(index(first), index(last));
    }

    void arrive(quint64 ticket, int page, QList<Record> rows) {
        const qsizetype room = MaxRows - (page == 1 ? 0 : m_rows.size());
        const bool capped = rows.size() > room;
        if (capped)
            rows.resize(std::max<qsizetype>(room, 0));
        const std::optional<KeptDelivery> kept = TeacherRequestManager::deliveringKept();
        if (!acceptPage(ticket, page, int(rows.size()), capped, kept && kept->ahead))
            return;
        if (page == 1) {
            replaceRows(rows);
        } else if (!rows.isEmpty()) {
            beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size()) - 1);
            m_rows.append(rows);
            endInsertRows();
        }
        pageShown(page, int(rows.size()), capped);
    }

    RoleData m_data;
    ImageUrlOf m_imageUrlOf;
    QList<Record> m_rows;
};
