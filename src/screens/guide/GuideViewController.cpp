#include "GuideViewController.h"

#include "AppDelegate.h"
#include "Assets.h"
#include "FrameStyle.h"
#include "PageControl.h"
#include "StyleTokens.h"
#include "TextRules.h"
#include "UnitMetiodManager.h"
#include "ui_GuideViewController.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>
#include <QWheelEvent>

namespace {
// One wheel notch is 120; a trackpad delivers many small steps. This much turns one page.
constexpr int WheelPerPage = 120;
} // namespace

GuideViewController::GuideViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::GuideViewController>(this)) {
    setFocusPolicy(Qt::StrongFocus);
}

GuideViewController::~GuideViewController() {
    // Unregisters the gesture recogniser grabGesture made; it is not freed otherwise.
    if (isViewLoaded())
        QScroller::ungrabGesture(m_ui->scrollView->viewport());
}

QString GuideViewController::getGuideImageNameWithIndex(int index) {
    return getGuideImageNameWithIndex(index, TextRules::deviceModel());
}

QString GuideViewController::getGuideImageNameWithIndex(int index, int deviceModel) {
    const char *format = nullptr;
    switch (deviceModel) {
    case 0:
        format = "guide_iphone4_%1.png";
        break;
    case 1:
        format = "guide_iphone5_%1.png";
        break;
    case 3:
        format = "guide_iphone6p_%1.png";
        break;
    case 4:
        format = "guide_ipad_%1.png";
        break;
    default:
        format = "guide_iphone6_%1.png";
        break;
    }
    return QString::fromLatin1(format).arg(index + 1);
}

void GuideViewController::retranslate() {
    m_ui->retranslateUi(this);
}

void GuideViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_ui->pageControl->setNumberOfPages(PageCount);
    m_ui->pageControl->setCurrentPage(0);

    const QString background = Assets::resourcePath(QStringLiteral("go_intoApp_btn"));
    QString style = QStringLiteral("QPushButton { color: %1; font-size: 17px; ")
                        .arg(QColor(FrameStyle::DarkGrey).name());
    style += background.isEmpty()
                 ? QStringLiteral("border: 1px solid %1; border-radius: 6px; }")
                       .arg(QColor(FrameStyle::LightGrey).name())
                 : QStringLiteral("border: none; border-image: url(%1) 0 0 0 0 stretch stretch; }")
                       .arg(background);
    m_ui->enterButton->setStyleSheet(style);
    connect(m_ui->enterButton, &QPushButton::clicked, this,
            &GuideViewController::pushTheTabbarController);

    // Paging without bouncing: a drag snaps to a page and never pulls past the first or last.
    QWidget *viewport = m_ui->scrollView->viewport();
    QScroller::grabGesture(viewport, QScroller::LeftMouseButtonGesture);
    QScroller *scroller = QScroller::scroller(viewport);
    QScrollerProperties props = scroller->scrollerProperties();
    props.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                          QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    props.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                          QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    props.setScrollMetric(QScrollerProperties::SnapTime, 0.3);
    scroller->setScrollerProperties(props);
    connect(scroller, &QScroller::stateChanged, this, [this, scroller](QScroller::State state) {
        const int width = m_ui->scrollView->viewport()->width();
        switch (state) {
        case QScroller::Pressed:
            if (width > 0) {
                const int offset = m_ui->scrollView->horizontalScrollBar()->value();
                m_dragStartPage = (offset + width / 2) / width;
            }
            break;
        case QScroller::Scrolling: {
            // A swipe turns one page at most, however fast: redirect the flick to the
            // neighbouring page in its direction (or back to where it started).
            if (m_redirecting || m_dragStartPage < 0 || width <= 0)
                break;
            const qreal startX = m_dragStartPage * width;
            const qreal finalX = scroller->finalPosition().x();
            const int step = finalX > startX + 0.5 ? 1 : (finalX < startX - 0.5 ? -1 : 0);
            const int target = qBound(0, m_dragStartPage + step, PageCount - 1);
            m_dragStartPage = -1;
            if (qFuzzyCompare(finalX + 1, target * width + 1.0))
                break;
            m_redirecting = true;
            scroller->scrollTo(QPointF(target * width, 0), PageScrollMilliseconds);
            m_redirecting = false;
            break;
        }
        case QScroller::Inactive:
            m_dragStartPage = -1;
            scrollViewDidEndDecelerating();
            break;
        default:
            break;
        }
    });
    viewport->installEventFilter(this);
    m_ui->scrollView->verticalScrollBar()->setEnabled(false);
    layoutPages();
}

void GuideViewController::layoutPages() {
    if (!isViewLoaded())
        return;
    const int page = currentPage();
    m_ui->scrollView->setGeometry(rect());
    const QSize pageSize = m_ui->scrollView->viewport()->size();
    if (pageSize.isEmpty())
        return;
    m_ui->pagesWidget->resize(pageSize.width() * PageCount, pageSize.height());
    QLabel *images[PageCount] = {m_ui->pageImage0, m_ui->pageImage1, m_ui->pageImage2};
    for (int i = 0; i < PageCount; ++i) {
        images[i]->setGeometry(i * pageSize.width(), 0, pageSize.width(), pageSize.height());
        images[i]->setPixmap(Assets::pixmap(getGuideImageNameWithIndex(i), pageSize));
    }
    const QSize button(150, 44);
    m_ui->enterButton->setGeometry(2 * pageSize.width() + (pageSize.width() - button.width()) / 2,
                                   pageSize.height() - button.height() - 70, button.width(),
                                   button.height());
    m_ui->enterButton->raise();

    QList<qreal> snaps;
    for (int i = 0; i < PageCount; ++i)
        snaps << qreal(i * pageSize.width());
    QScroller::scroller(m_ui->scrollView->viewport())->setSnapPositionsX(snaps);

    const QSize dots = m_ui->pageControl->sizeHint();
    m_ui->pageControl->setGeometry((width() - dots.width()) / 2, height() - dots.height() - 20,
                                   dots.width(), dots.height());
    m_ui->pageControl->raise();

    // Stay on the same page when the window changes size.
    m_ui->scrollView->horizontalScrollBar()->setValue(page * pageSize.width());
}

void GuideViewController::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    layoutPages();
}

void GuideViewController::scrollViewDidEndDecelerating() {
    const int width = m_ui->scrollView->viewport()->width();
    if (width <= 0)
        return;
    const int offset = m_ui->scrollView->horizontalScrollBar()->value();
    m_ui->pageControl->setCurrentPage(offset / width);
}

void GuideViewController::scrollToPage(int page, bool animated) {
    const int width = m_ui->scrollView->viewport()->width();
    const int target = qBound(0, page, PageCount - 1) * width;
    QScroller *scroller = QScroller::scroller(m_ui->scrollView->viewport());
    if (animated) {
        scroller->scrollTo(QPointF(target, 0), PageScrollMilliseconds);
        return;
    }
    scroller->stop();
    m_ui->scrollView->horizontalScrollBar()->setValue(target);
    scrollViewDidEndDecelerating();
}

int GuideViewController::currentPage() const {
    return m_ui->pageControl->currentPage();
}

void GuideViewController::pushTheTabbarController() {
    AppDelegate::makeLoginStackRoot();
    UnitMetiodManager::saveShowGuideKey(true);
}

void GuideViewController::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        scrollToPage(currentPage() + 1, true);
        return;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        scrollToPage(currentPage() - 1, true);
        return;
    case Qt::Key_Home:
        scrollToPage(0, true);
        return;
    case Qt::Key_End:
        scrollToPage(PageCount - 1, true);
        return;
    default:
        BasicVC::keyPressEvent(event);
    }
}

bool GuideViewController::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui->scrollView->viewport() && event->type() == QEvent::Wheel) {
        // A wheel or trackpad turns whole pages; the scroll area's own wheel handling would stop
        // between pages.
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        m_wheelAccumulated += qAbs(delta.x()) > qAbs(delta.y()) ? delta.x() : delta.y();
        if (qAbs(m_wheelAccumulated) >= WheelPerPage) {
            const int step = m_wheelAccumulated > 0 ? -1 : 1;
            m_wheelAccumulated = 0;
            if (QScroller::scroller(m_ui->scrollView->viewport())->state() == QScroller::Inactive)
                scrollToPage(currentPage() + step, true);
        }
        return true;
    }
    return BasicVC::eventFilter(watched, event);
}

QScrollArea *GuideViewController::scrollView() const {
    return m_ui->scrollView;
}

PageControl *GuideViewController::pageControl() const {
    return m_ui->pageControl;
}

QPushButton *GuideViewController::enterButton() const {
    return m_ui->enterButton;
}
