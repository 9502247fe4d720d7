#include "PictureGrid.h"

#include "FrameStyle.h"
#include "ImageLoader.h"
#include "PictureBrowser.h"
#include "records/ContentRecords.h"

#include <QEvent>
#include <QGridLayout>
#include <QJsonArray>
#include <QPainter>
#include <QPointer>

QString PictureItem::largeUrl() const {
    QString url = thumbnailUrl;
    return url.replace(QStringLiteral("thumbnail"), QStringLiteral("bmiddle"));
}

PictureThumbnail::PictureThumbnail(QWidget *parent)
    : QAbstractButton(parent) {
    setFixedSize(PictureGrid::ThumbnailSide, PictureGrid::ThumbnailSide);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureThumbnail::setImage(const QPixmap &image) {
    m_image = image;
    update();
}

void PictureThumbnail::setMoreCount(int count) {
    m_moreCount = qMax(0, count);
    //: Told on the last thumbnail when more pictures are hidden behind it.
    setAccessibleDescription(m_moreCount > 0 ? tr("还有%1张").arg(m_moreCount) : QString());
    update();
}

void PictureThumbnail::changeEvent(QEvent *event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setMoreCount(m_moreCount);
}

QSize PictureThumbnail::sizeHint() const {
    return {PictureGrid::ThumbnailSide, PictureGrid::ThumbnailSide};
}

void PictureThumbnail::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), QColor(FrameStyle::SheetBackground));
    if (!m_image.isNull()) {
        // Filled and centred, as a square crop of the picture.
        const QSizeF source = m_image.deviceIndependentSize();
        const qreal scale = qMax(width() / source.width(), height() / source.height());
        const QSizeF shown = source * scale;
        const QRectF target((width() - shown.width()) / 2, (height() - shown.height()) / 2,
                            shown.width(), shown.height());
        painter.setClipRect(rect());
        painter.drawPixmap(target, m_image, m_image.rect());
    }
    if (m_moreCount > 0) {
        painter.fillRect(rect(), QColor::fromRgba(FrameStyle::PictureMark));
        QFont font = painter.font();
        font.setPixelSize(20);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("+%1").arg(m_moreCount));
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(FrameStyle::TitleColor), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

PictureGrid::PictureGrid(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QGridLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(Spacing);
    m_layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int PictureGrid::columnCount() const {
    return m_items.size() == 4 ? 2 : 3;
}

PictureThumbnail *PictureGrid::thumbnailAt(int index) const {
    return m_thumbnails.value(index);
}

QList<PictureItem> PictureGrid::itemsOf(const FeelDetailRsp &detail) {
    QList<PictureItem> items;
    for (const QJsonValue &url : detail.ImgageUrlList.value_or(QJsonArray())) {
        if (url.isString())
            items.append(PictureItem{url.toString()});
        if (items.size() >= MaxPictures)
            break;
    }
    return items;
}

void PictureGrid::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        nameThumbnails();
}

void PictureGrid::nameThumbnails() {
    for (int i = 0; i < m_thumbnails.size(); ++i)
        //: A thumbnail's name: picture 1, 2, …
        m_thumbnails[i]->setAccessibleName(tr("图片%1").arg(i + 1));
}

void PictureGrid::setPictureItems(const QList<PictureItem> &items) {
    qDeleteAll(m_thumbnails);
    m_thumbnails.clear();
    m_items = items.mid(0, MaxPictures);
    const int columns = columnCount();
    const int shown = qMin(int(m_items.size()), MaxThumbnails);
    // Twice the cell, so that a square crop of a wide picture still has pixels to spare.
    const QSize drawn = QSize(2 * ThumbnailSide, 2 * ThumbnailSide) * devicePixelRatioF();
    for (int i = 0; i < shown; ++i) {
        auto *thumbnail = new PictureThumbnail(this);
        thumbnail->setObjectName(QStringLiteral("picture%1").arg(i));
        m_layout->addWidget(thumbnail, i / columns, i % columns);
        connect(thumbnail, &QAbstractButton::clicked, this, [this, i] { openBrowserAt(i); });
        m_thumbnails.append(thumbnail);
        QPointer<PictureGrid> grid = this;
        ImageLoader::instance().fetch(
            m_items.at(i).thumbnailUrl, thumbnail,
            [grid, thumbnail, i](const QPixmap &image) {
                thumbnail->setImage(image);
                if (grid)
                    emit grid->thumbnailFinished(i, !image.isNull());
            },
            drawn);
    }
    nameThumbnails();
    if (shown > 0)
        m_thumbnails.last()->setMoreCount(int(m_items.size()) - shown);
    const int rows = (shown + columns - 1) / columns;
    setFixedHeight(rows > 0 ? rows * ThumbnailSide + (rows - 1) * Spacing : 0);
    updateGeometry();
}

void PictureGrid::openBrowserAt(int index) {
    if (index < 0 || index >= m_items.size())
        return;
    auto *browser = new PictureBrowser(this, index);
    browser->show();
}
