#include "CatZanButton.h"

#include "Assets.h"
#include "FrameStyle.h"

#include <QEasingCurve>
#include <QEvent>
#include <QList>
#include <QPainter>
#include <QRandomGenerator>
#include <QVariantAnimation>

namespace {

constexpr int ParticleSide = 12;
// Room round the button for the particles' whole flight.
constexpr int BurstMargin =
    int(ZanMotion::Velocity + ZanMotion::VelocityRange) + ParticleSide + CatZanButton::Side / 2;

// The particles of one burst, painted over the screen round the button; it deletes itself once
// the last particle has faded. Clicks go through it.
class ZanBurst : public QWidget {
public:
    ZanBurst(QWidget *host, QPoint centre)
        : QWidget(host)
        , m_image(Assets::pixmap(QStringLiteral("EffectImage"), {ParticleSide, ParticleSide})) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(QRect(centre - QPoint(BurstMargin, BurstMargin),
                          QSize(2 * BurstMargin, 2 * BurstMargin)));
        auto *clock = new QVariantAnimation(this);
        clock->setStartValue(0.0);
        clock->setEndValue(ZanMotion::BurstSeconds + ZanMotion::Lifetime);
        clock->setDuration(int((ZanMotion::BurstSeconds + ZanMotion::Lifetime) * 1000));
        connect(clock, &QVariantAnimation::valueChanged, this,
                [this](const QVariant &value) { advance(value.toDouble()); });
        connect(clock, &QVariantAnimation::finished, this, &QObject::deleteLater);
        clock->start();
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const Born &born : std::as_const(m_particles)) {
            const double age = m_now - born.at;
            if (age < 0 || age >= ZanMotion::Lifetime)
                continue;
            painter.setOpacity(ZanMotion::alphaAt(age));
            const QPointF at = ZanMotion::positionAt(born.particle, age);
            painter.drawPixmap(at - QPointF(ParticleSide / 2.0, ParticleSide / 2.0), m_image);
        }
    }

private:
    struct Born {
        ZanMotion::Particle particle;
        double at = 0;
    };

    void advance(double now) {
        m_now = now;
        const int due = int(ZanMotion::birthsUntil(now));
        QRandomGenerator *random = QRandomGenerator::global();
        const QPointF centre(width() / 2.0, height() / 2.0);
        for (; m_bornCount < due; ++m_bornCount) {
            const double angle = random->bounded(2 * M_PI);
            m_particles.append({ZanMotion::particleAt(centre, CatZanButton::Side / 2.0, angle,
                                                      random->generateDouble()),
                                now});
        }
        update();
    }

    QPixmap m_image;
    QList<Born> m_particles;
    int m_bornCount = 0;
    double m_now = 0;
};

} // namespace

void CatZanButton::changeEvent(QEvent *event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr("点赞"));
}

CatZanButton::CatZanButton(QWidget *parent)
    : QAbstractButton(parent) {
    setCheckable(true);
    setFixedSize(Side, Side);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("点赞"));
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_waiting)
            return;
        // The handler may take the screen away; the animation then has nothing to play on.
        QPointer<CatZanButton> self(this);
        if (m_clickHandler)
            m_clickHandler(this);
        if (self)
            zanAnimationPlay();
    });
}

CatZanButton::~CatZanButton() {
    delete m_burst;
}

void CatZanButton::setIsZan(bool isZan) {
    setChecked(isZan);
    update();
}

void CatZanButton::nextCheckState() {
    if (!m_waiting)
        QAbstractButton::nextCheckState();
}

QString CatZanButton::imageName() const {
    return isZan() ? QStringLiteral("book_comment_zan_selected")
                   : QStringLiteral("book_comment_zan_normal");
}

void CatZanButton::zanAnimationPlay() {
    if (m_type != AnimatedType)
        return;
    if (m_spring)
        m_spring->stop();
    auto *spring = new QVariantAnimation(this);
    spring->setStartValue(0.0);
    spring->setEndValue(1.0);
    spring->setDuration(int(ZanMotion::SpringSeconds * 1000));
    QEasingCurve curve;
    curve.setCustomType(ZanMotion::zanSpring);
    spring->setEasingCurve(curve);
    connect(spring, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_scale = value.toDouble();
        update();
    });
    m_spring = spring;
    m_scale = 0;
    spring->start(QAbstractAnimation::DeleteWhenStopped);
    if (isZan())
        startBurst();
}

void CatZanButton::startBurst() {
    delete m_burst;
    QWidget *host = window();
    if (!host || host == this)
        return;
    m_burst = new ZanBurst(host, mapTo(host, rect().center()));
}

void CatZanButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPixmap image = Assets::pixmap(imageName(), {ImageSide, ImageSide});
    painter.save();
    painter.translate(QRectF(rect()).center());
    painter.scale(m_scale, m_scale);
    painter.drawPixmap(QPointF(-ImageSide / 2.0, -ImageSide / 2.0), image);
    painter.restore();
    if (hasFocus()) {
        painter.setPen(QPen(QColor(FrameStyle::TitleColor), 1, Qt::DotLine));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
}
