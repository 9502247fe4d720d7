#include "NothingView.h"

#include "Assets.h"
#include "FrameStyle.h"
#include "Tags.h"

#include <QEvent>
#include <QLabel>

NothingView::NothingView(QWidget *coveredView)
    : QWidget(coveredView)
    , m_image(new QLabel(this)) {
    setObjectName(QStringLiteral("nothingView"));
    setTag(this, FrameStyle::NothingViewTag);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    const QSize imageSize(FrameStyle::NothingImageWidth, FrameStyle::NothingImageHeight);
    m_image->setFixedSize(imageSize);
    m_image->setPixmap(Assets::pixmap(QStringLiteral("nothing_data_img"), imageSize));
    m_image->setScaledContents(true);
    if (coveredView)
        coveredView->installEventFilter(this);
    fit();
}

bool NothingView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fit();
    return QWidget::eventFilter(watched, event);
}

void NothingView::fit() {
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    m_image->move((width() - m_image->width()) / 2, (height() - m_image->height()) / 2);
}
