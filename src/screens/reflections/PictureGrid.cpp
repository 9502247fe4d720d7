#include "PictureGrid.h"

#include "FrameStyle.h"
#include "ImageLoader.h"
#include "PictureBrowser.h"

#include <QGridLayout>
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

void PictureGrid::setPictureItems(const QList<PictureItem> &items) {
    qDeleteAll(m_thumbnails);
    m_thumbnails.clear();
    m_items = items;
    const int columns = columnCount();
    for (int i = 0; i < items.size(); ++i) {
        auto *thumbnail = new PictureThumbnail(this);
        thumbnail->setObjectName(QStringLiteral("picture%1").arg(i));
        thumbnail->setAccessibleName(QStringLiteral("图片%1").arg(i + 1));
        m_layout->addWidget(thumbnail, i / columns, i % columns);
        connect(thumbnail, &QAbstractButton::clicked, this, [this, i] { openBrowserAt(i); });
        m_thumbnails.append(thumbnail);
        QPointer<PictureGrid> grid = this;
        ImageLoader::instance().fetch(items.at(i).thumbnailUrl, thumbnail,
                                      [grid, thumbnail, i](const QPixmap &image) {
                                          thumbnail->setImage(image);
                                          if (grid)
                                              emit grid->thumbnailFinished(i, !image.isNull());
                                      });
    }
    const int rows = (int(items.size()) + columns - 1) / columns;
    setFixedHeight(rows > 0 ? rows * ThumbnailSide + (rows - 1) * Spacing : 0);
    updateGeometry();
}

void PictureGrid::openBrowserAt(int index) {
    if (index < 0 || index >= m_items.size())
        return;
    auto *browser = new PictureBrowser(this, index);
    browser->show();
}
