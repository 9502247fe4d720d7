#include "DeskDetails.h"

#include "AnswerHandling.h"
#include "ImageLoader.h"
#include "PictureGrid.h"

DeskDetails::DeskDetails(QWidget *view)
    : QObject(view)
    , m_view(view) {}

const FeelDetailRsp *DeskDetails::find(qint64 feelId) const {
    const auto it = m_details.constFind(feelId);
    return it == m_details.cend() ? nullptr : &*it;
}

void DeskDetails::fetch(qint64 feelId, std::function<bool(qint64)> shown) {
    if (feelId == 0 || m_details.contains(feelId) || m_fetching.contains(feelId))
        return;
    m_fetching.insert(feelId);
    GetSingleFeelReq request;
    request.feelId = feelId;
    const quint64 generation = m_generation;
    const auto answer =
        AnswerHandler<GetSingleFeelRsp>(this)
            .onSuccess([this, feelId, generation](const GetSingleFeelRsp &rsp) {
                if (generation != m_generation)
                    return;
                m_fetching.remove(feelId);
                keep(feelId, rsp.feel.value_or(FeelDetailRsp()));
            })
            .onRefusal([this, feelId, generation, shown](const GetSingleFeelRsp &rsp) {
                if (generation != m_generation)
                    return;
                m_fetching.remove(feelId);
                if (shown && shown(feelId))
                    AnswerHandling::showRefusal(rsp);
            })
            .onFailure([this, feelId, generation] {
                if (generation == m_generation)
                    m_fetching.remove(feelId);
            });
    answer.send(request);
}

void DeskDetails::drop() {
    ++m_generation;
    m_fetching.clear();
}

void DeskDetails::keep(qint64 feelId, const FeelDetailRsp &detail) {
    m_details.insert(feelId, detail);
    m_order.removeAll(feelId);
    m_order.append(feelId);
    while (m_order.size() > KeptDetails)
        m_details.remove(m_order.takeFirst());
    // The thumbnails too, at the size the grid asks for, so moving on draws them from memory.
    const QSize drawn = QSize(2 * PictureGrid::ThumbnailSide, 2 * PictureGrid::ThumbnailSide) *
                        m_view->devicePixelRatioF();
    const QList<PictureItem> pictures = PictureGrid::itemsOf(detail);
    for (int i = 0; i < qMin(int(pictures.size()), PictureGrid::MaxThumbnails); ++i)
        ImageLoader::instance().fetch(
            pictures.at(i).thumbnailUrl, m_view, [](const QPixmap &) {}, drawn);
    emit arrived(feelId);
}
