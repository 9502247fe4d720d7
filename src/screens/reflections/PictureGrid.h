#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QGridLayout;

// One picture of a reflection: the service lists thumbnails; the full picture lives at the same
// URL with "bmiddle" in place of every "thumbnail".
struct PictureItem {
    QString thumbnailUrl;

    QString largeUrl() const;
};

// An 80 × 80 thumbnail of the grid, filled by the image loader; empty while loading or when its
// picture cannot be had.
class PictureThumbnail : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureThumbnail(QWidget *parent = nullptr);

    void setImage(const QPixmap &image);
    QPixmap image() const { return m_image; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_image;
};

// The pictures of a reflection: thumbnails three to a row, two when there are exactly four, so
// that four make a square. Activating a thumbnail (click, or Space on the focused one) opens the
// picture browser on it.
class PictureGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int ThumbnailSide = 80;
    static constexpr int Spacing = 10;

    explicit PictureGrid(QWidget *parent = nullptr);

    // Replaces what the grid showed; each thumbnail loads from its URL without a placeholder.
    void setPictureItems(const QList<PictureItem> &items);
    QList<PictureItem> pictureItems() const { return m_items; }
    int columnCount() const;
    PictureThumbnail *thumbnailAt(int index) const;
    // Opens the browser over the whole window on picture `index` (nothing when out of range).
    void openBrowserAt(int index);

signals:
    // Every thumbnail that finished loading, loaded or not (screenshots wait on it).
    void thumbnailFinished(int index, bool loaded);

private:
    QList<PictureItem> m_items;
    QList<PictureThumbnail *> m_thumbnails;
    QGridLayout *m_layout;
};
