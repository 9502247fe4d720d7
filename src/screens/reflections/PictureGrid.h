#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QGridLayout;
struct FeelDetailRsp;

// One picture of a reflection: the service lists thumbnails; the full picture lives at the same
// URL with "bmiddle" in place of every "thumbnail".
struct PictureItem {
    QString thumbnailUrl;

    QString largeUrl() const;
};

// An 80 × 80 thumbnail of the grid, filled by the image loader; empty while loading or when its
// picture cannot be had. The last one the grid has room for says how many more there are.
class PictureThumbnail : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureThumbnail(QWidget *parent = nullptr);

    void setImage(const QPixmap &image);
    QPixmap image() const { return m_image; }
    // Pictures beyond this one that only the browser shows ("+N" over the image); 0 for none.
    void setMoreCount(int count);
    int moreCount() const { return m_moreCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QPixmap m_image;
    int m_moreCount = 0;
};

// The pictures of a reflection: thumbnails three to a row, two when there are exactly four, so
// that four make a square, at most nine; the browser pages through the rest. Activating a thumbnail
// (click, or Space on the focused one) opens the picture browser on it.
class PictureGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int ThumbnailSide = 80;
    static constexpr int Spacing = 10;
    static constexpr int MaxThumbnails = 9;
    // A reflection listing more pictures than anyone uploads keeps only the first ones.
    static constexpr int MaxPictures = 300;

    explicit PictureGrid(QWidget *parent = nullptr);

    // The pictures a reflection lists, the first MaxPictures of them; an entry that is not a
    // text names no picture and is left out.
    static QList<PictureItem> itemsOf(const FeelDetailRsp &detail);

    // Replaces what the grid showed (the first MaxPictures of `items`); each thumbnail loads from
    // its URL without a placeholder.
    void setPictureItems(const QList<PictureItem> &items);
    QList<PictureItem> pictureItems() const { return m_items; }
    int columnCount() const;
    PictureThumbnail *thumbnailAt(int index) const;
    // Opens the browser over the whole window on picture `index` (nothing when out of range).
    void openBrowserAt(int index);

signals:
    // Every thumbnail that finished loading, loaded or not (screenshots wait on it).
    void thumbnailFinished(int index, bool loaded);

protected:
    void changeEvent(QEvent *event) override;

private:
    void nameThumbnails();

    QList<PictureItem> m_items;
    QList<PictureThumbnail *> m_thumbnails;
    QGridLayout *m_layout;
};
