#pragma once

#include "ModalOverlay.h"
#include "PictureGrid.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>

class QLabel;
class QPropertyAnimation;
class QScrollArea;

// The pictures of a grid over the whole window, one at a time, opened on the tapped one. Each
// page shows the grid's thumbnail until the full picture arrives, or "图片加载失败" when it
// cannot be had. Only the page shown and its neighbours hold (or load) a full picture. A double
// click zooms to twice the size and back (0.5 s); a single click closes the browser, shrinking the
// picture back onto its thumbnail.
//
// On a desktop: Left/Right, Page Up/Down, a horizontal drag or the wheel turn the pages, Enter or
// +/- zoom, Esc closes; the wheel and the arrow keys move a zoomed picture.
class PictureBrowser : public ModalOverlay {
    Q_OBJECT
    Q_PROPERTY(qreal zoomScale READ zoomScale WRITE setZoomScale)
    Q_PROPERTY(int slideOffset READ slideOffset WRITE setSlideOffset)
public:
    enum class PageState { Loading, Loaded, Failed };

    static constexpr int ZoomMilliseconds = 500;
    static constexpr int CloseMilliseconds = 250;
    static constexpr int PageMilliseconds = 200;
    static constexpr qreal ZoomedScale = 2.0;
    static QString failureText();

    PictureBrowser(PictureGrid *grid, int startIndex);
    ~PictureBrowser() override;

    // The browser that is up, if any.
    static PictureBrowser *current();

    int count() const { return int(m_pages.size()); }
    int currentIndex() const { return m_index; }
    // "i/n", counted from 1.
    QString positionText() const;
    void showPage(int index);
    void nextPage() { showPage(m_index + 1); }
    void previousPage() { showPage(m_index - 1); }

    // Twice the size, or back to normal when zoomed; animated.
    void toggleZoom();
    qreal zoomScale() const { return m_zoom; }
    void setZoomScale(qreal scale);
    bool isZoomed() const { return m_zoomTarget > 1.0; }

    // How far the page that came in last still is from its place (it slides in sideways).
    int slideOffset() const { return m_slideOffset; }
    void setSlideOffset(int offset);

    // Shrinks the picture onto its thumbnail (when the grid is still there), then goes.
    void closeBrowser();

    PageState pageState(int index) const;
    // What page `index` shows: the full picture once it arrived, else the thumbnail.
    QPixmap pageImage(int index) const;
    QLabel *positionLabel() const { return m_positionLabel; }
    QLabel *failureLabel() const { return m_failureLabel; }

signals:
    // Each full picture that finished loading, loaded or not.
    void pictureFinished(int index, bool loaded);

protected:
    void layoutContent() override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Page {
        PictureItem item;
        QPixmap thumbnail;
        QPixmap large;
        PageState state = PageState::Loading;
        // Alive while the full picture is wanted: the loader's guard for this page's request.
        QPointer<QObject> request;
    };

    // Loads the page shown and its neighbours, lets go of the others.
    void keepAround(int index);
    void load(int index);
    void refreshPage();
    void relayoutCanvas();
    QSizeF fittedSize() const;
    void handleClick();
    void turnByDrag(int dx);

    QPointer<PictureGrid> m_grid;
    QList<Page> m_pages;
    int m_index = 0;
    qreal m_zoom = 1.0;
    qreal m_zoomTarget = 1.0;
    bool m_closing = false;
    QScrollArea *m_stage;
    QWidget *m_canvas;
    QLabel *m_positionLabel;
    QLabel *m_failureLabel;
    QPointer<QPropertyAnimation> m_zoomAnimation;
    QPointer<QPropertyAnimation> m_slideAnimation;
    int m_slideOffset = 0;
    QTimer m_clickTimer;
    QPoint m_pressPos;
    QPoint m_lastDragPos;
    bool m_pressed = false;
    bool m_dragged = false;
    int m_wheelTurn = 0;
};
