#include "DemoImages.h"

#include <QBuffer>
#include <QCache>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTextBoundaryFinder>

#include <array>
#include <atomic>
#include <cmath>
#include <numbers>

Q_LOGGING_CATEGORY(lcDemoImages, "reading.service.images")

namespace {

const QString fontFamily = QStringLiteral("Noto Sans CJK SC");

// A text longer than this is cut before layout: the pictures only need to be recognisable, and
// an enormous caption must not make one request render for seconds.
constexpr qsizetype maxDrawnText = 48;

// Soft, well-separated colours that carry white text.
constexpr std::array<QRgb, 12> palette = {
    0xffd9534f, 0xfff0883e, 0xffe3b341, 0xff5cb85c, 0xff2e9e8f, 0xff3a87c8,
    0xff5561c8, 0xff8e5cc8, 0xffc75c9e, 0xff7a6a53, 0xff4f7f4f, 0xff35607a,
};

QColor paletteColour(quint32 index) {
    return QColor::fromRgb(palette[index % palette.size()]);
}

// Text drawing needs the font database, which only exists with a QGuiApplication. Without one
// the pictures are still drawn, only without their text.
bool canDrawText() {
    static std::atomic_bool warned = false;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    if (!warned.exchange(true)) {
        qCWarning(lcDemoImages) << "no QGuiApplication: pictures are drawn without text";
    }
    return false;
}

QString cutText(const QString &text) {
    QString t = text.simplified();
    if (t.size() <= maxDrawnText)
        return t;
    // Cut on a grapheme boundary so no half surrogate pair is drawn.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t);
    finder.setPosition(maxDrawnText);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return t.left(finder.position() > 0 ? finder.position() : maxDrawnText) + QChar(0x2026);
}

QString lastGrapheme(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t);
    finder.toEnd();
    const qsizetype end = finder.position();
    const qsizetype start = finder.toPreviousBoundary();
    if (start < 0)
        return t;
    return t.mid(start, end - start);
}

// The font for text in rect: the largest size down to singleLineMin at which it fits on one line,
// else the largest size down to minSize at which it fits wrapped (a short title broken after
// its last character reads badly, so one line wins while it is still legible).
QFont fittedFont(const QString &text, const QRectF &rect, int maxSize, int singleLineMin,
                 int minSize, bool bold) {
    QFont font(fontFamily);
    font.setBold(bold);
    const auto fits = [&](int size, int flags) {
        font.setPixelSize(size);
        const QRectF needed = QFontMetricsF(font).boundingRect(rect, flags, text);
        return needed.width() <= rect.width() && needed.height() <= rect.height();
    };
    for (int size = maxSize; size >= singleLineMin; size -= 2) {
        if (fits(size, Qt::AlignCenter | Qt::TextSingleLine))
            return font;
    }
    for (int size = maxSize; size >= minSize; size -= 2) {
        if (fits(size, Qt::AlignCenter | Qt::TextWordWrap))
            return font;
    }
    font.setPixelSize(minSize);
    return font;
}

QByteArray pngBytes(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void drawCoverMotif(QPainter &p, const QRectF &area, QRandomGenerator &random, QColor ink) {
    ink.setAlpha(70);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (random.bounded(4)) {
    case 0: // scattered circles, like bubbles or planets
        for (int i = 0; i < 7; ++i) {
            const double r = 10 + random.bounded(34);
            p.drawEllipse(QPointF(area.left() + random.bounded(area.width()),
                                  area.top() + random.bounded(area.height())),
                          r, r);
        }
        break;
    case 1: { // rolling hills
        for (int layer = 0; layer < 3; ++layer) {
            QPainterPath hill;
            const double base = area.bottom() - layer * 28;
            hill.moveTo(area.left(), area.bottom());
            hill.lineTo(area.left(), base);
            const double peak = 30 + random.bounded(50);
            hill.cubicTo(area.left() + area.width() * 0.3, base - peak,
                         area.left() + area.width() * 0.6, base + peak / 2, area.right(),
                         base - peak / 3);
            hill.lineTo(area.right(), area.bottom());
            hill.closeSubpath();
            p.drawPath(hill);
        }
        break;
    }
    case 2: { // stars
        for (int i = 0; i < 9; ++i) {
            const QPointF c(area.left() + random.bounded(area.width()),
                            area.top() + random.bounded(area.height()));
            const double r = 6 + random.bounded(14);
            QPainterPath star;
            for (int k = 0; k < 10; ++k) {
                const double radius = (k % 2 == 0) ? r : r * 0.45;
                const double angle = std::numbers::pi / 2 + k * std::numbers::pi / 5;
                const QPointF point(c.x() + radius * std::cos(angle),
                                    c.y() - radius * std::sin(angle));
                if (k == 0)
                    star.moveTo(point);
                else
                    star.lineTo(point);
            }
            star.closeSubpath();
            p.drawPath(star);
        }
        break;
    }
    default: { // diagonal stripes
        QPen pen(ink, 14);
        p.setPen(pen);
        for (double x = area.left() - area.height(); x < area.right(); x += 46)
            p.drawLine(QPointF(x, area.bottom()), QPointF(x + area.height(), area.top()));
        break;
    }
    }
}

QImage renderCover(const QString &title, int seed) {
    QRandomGenerator random(quint32(seed) * 2654435761u + 17u);
    const QColor base = paletteColour(random.generate());
    QImage image(300, 400, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, image.height());
    background.setColorAt(0, base.lighter(125));
    background.setColorAt(1, base.darker(115));
    p.fillRect(image.rect(), background);
    drawCoverMotif(p, QRectF(0, 0, image.width(), image.height()), random, Qt::white);

    // The spine shadow and a light title panel make it read as a book.
    p.fillRect(QRectF(0, 0, 14, image.height()), QColor(0, 0, 0, 50));
    const QRectF panel(34, 96, image.width() - 58, 170);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawRoundedRect(panel, 14, 14);

    if (canDrawText()) {
        const QString text = cutText(title);
        const QRectF textRect = panel.adjusted(14, 12, -14, -12);
        p.setFont(fittedFont(text, textRect, 46, 30, 14, true));
        p.setPen(base.darker(170));
        p.drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    p.end();
    return image;
}

QImage renderPortrait(const QString &name, int seed) {
    QRandomGenerator random(quint32(seed) * 40503u + 7u);
    const QColor base = paletteColour(random.generate());
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 200, 200);
    fill.setColorAt(0, base.lighter(120));
    fill.setColorAt(1, base.darker(110));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(4, 4, 192, 192));

    const QString mark = lastGrapheme(name);
    if (!mark.isEmpty() && canDrawText()) {
        QFont font(fontFamily);
        font.setBold(true);
        font.setPixelSize(92);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 200, 200), Qt::AlignCenter, mark);
    } else {
        // A plain head-and-shoulders figure when there is no name to show.
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(QRectF(70, 44, 60, 60));
        p.drawChord(QRectF(40, 112, 120, 110), 0, 180 * 16);
    }
    p.end();
    return image;
}

QImage renderReflectionPicture(const QString &caption, int seed, bool thumbnail) {
    // Drawn at the large size and scaled, so a thumbnail shows the same scene.
    QRandomGenerator random(quint32(seed) * 2246822519u + 3u);
    const QColor sky = paletteColour(random.generate()).lighter(160);
    const QColor land = paletteColour(random.generate());
    QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, 480);
    background.setColorAt(0, sky);
    background.setColorAt(1, Qt::white);
    p.fillRect(image.rect(), background);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 102, 230));
    p.drawEllipse(QPointF(120 + random.bounded(400), 90 + random.bounded(60)), 46, 46);

    for (int layer = 0; layer < 2; ++layer) {
        QColor c = layer == 0 ? land.lighter(140) : land;
        c.setAlpha(layer == 0 ? 150 : 210);
        p.setBrush(c);
        QPainterPath hill;
        const double base = 330 + layer * 50;
        hill.moveTo(0, 480);
        hill.lineTo(0, base);
        hill.cubicTo(200, base - 60 - random.bounded(60), 420, base + 40, 640,
                     base - random.bounded(50));
        hill.lineTo(640, 480);
        hill.closeSubpath();
        p.drawPath(hill);
    }

    if (canDrawText()) {
        const QString text = cutText(caption);
        if (!text.isEmpty()) {
            const QRectF band(0, 396, 640, 84);
            p.fillRect(band, QColor(0, 0, 0, 90));
            const QRectF textRect = band.adjusted(24, 8, -24, -8);
            p.setFont(fittedFont(text, textRect, 34, 22, 14, false));
            p.setPen(Qt::white);
            p.drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap, text);
        }
    }
    p.end();
    if (thumbnail)
        return image.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Rendered pictures by kind, text and seed. Bounded by bytes so a client walking through
// thousands of ids cannot grow the service without limit.
class PictureCache {
public:
    template <class Render> QByteArray get(const QString &key, Render &&render) {
        {
            QMutexLocker lock(&m_mutex);
            if (const QByteArray *hit = m_cache.object(key))
                return *hit;
        }
        QByteArray bytes = pngBytes(render());
        QMutexLocker lock(&m_mutex);
        m_cache.insert(key, new QByteArray(bytes), qMax<qsizetype>(1, bytes.size() / 1024));
        return bytes;
    }

private:
    QMutex m_mutex;
    QCache<QString, QByteArray> m_cache{64 * 1024}; // in KiB
};

PictureCache &cache() {
    static PictureCache instance;
    return instance;
}

QString cacheKey(char kind, const QString &text, int seed) {
    return QStringLiteral("%1:%2:%3").arg(QChar::fromLatin1(kind)).arg(seed).arg(cutText(text));
}

} // namespace

namespace DemoImages {

QByteArray bookCoverPng(const QString &title, int seed) {
    return cache().get(cacheKey('c', title, seed), [&] { return renderCover(title, seed); });
}

QByteArray portraitPng(const QString &name, int seed) {
    // Only the last character is drawn, so that is all the key needs.
    return cache().get(cacheKey('p', lastGrapheme(name), seed),
                       [&] { return renderPortrait(name, seed); });
}

QByteArray reflectionPicturePng(const QString &caption, int seed, bool thumbnail) {
    return cache().get(cacheKey(thumbnail ? 't' : 'm', caption, seed),
                       [&] { return renderReflectionPicture(caption, seed, thumbnail); });
}

} // namespace DemoImages
