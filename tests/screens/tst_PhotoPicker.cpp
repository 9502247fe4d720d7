#include "BasicVC.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "personal/CropGeometry.h"
#include "personal/PhotoCropDialog.h"
#include "personal/PhotoPicker.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

// The photo's way from a picture file through the crop to the upload JPEG, and the crop's rules.
class tst_PhotoPicker : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;
    QTemporaryDir m_files;
    QPointer<BasicVC> m_host;
    QString m_chosen;
    bool m_closeWhileChoosing = false;
    QList<QByteArray> m_delivered;

    // Left half `left`, right half `right`: which side ends up where shows how it was scaled.
    static QImage halves(QSize size, QImage::Format format, QColor left, QColor right) {
        QImage image(size, format);
        image.fill(right);
        QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), left);
        return image;
    }

    QString save(const QString &name, const QImage &image) {
        const QString path = m_files.filePath(name);
        return image.save(path) ? path : QString();
    }

    void pickFile() {
        PhotoPicker::pick(m_host, PhotoPicker::Source::File,
                          [this](const QByteArray &jpeg) { m_delivered << jpeg; });
    }

    PhotoCropDialog *cropDialog() const { return m_host->findChild<PhotoCropDialog *>(); }

    static bool near(QColor a, QColor b) {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
               qAbs(a.blue() - b.blue()) < 40;
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        m_host = new BasicVC;
        QVERIFY(m_fixture.show(m_host));
        m_delivered.clear();
        m_chosen.clear();
        m_closeWhileChoosing = false;
        PhotoPicker::setFileChooser([this](QWidget *) {
            if (m_closeWhileChoosing) // as a late answer replacing the root might
                delete m_host;
            return m_chosen;
        });
    }

    void uploadIsA200SquareJpegStretched_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QColor>("right");
        QTest::addColumn<QColor>("expectedRight");
        QTest::newRow("square") << QSize(200, 200) << QImage::Format_RGB32 << QColor(Qt::blue)
                                << QColor(Qt::blue);
        QTest::newRow("wide: squeezed, not cut")
            << QSize(600, 90) << QImage::Format_RGB32 << QColor(Qt::blue) << QColor(Qt::blue);
        QTest::newRow("tall one pixel wide")
            << QSize(2, 500) << QImage::Format_RGB32 << QColor(Qt::blue) << QColor(Qt::blue);
        QTest::newRow("transparent part on white") << QSize(120, 80) << QImage::Format_ARGB32
                                                   << QColor(Qt::transparent) << QColor(Qt::white);
    }
    void uploadIsA200SquareJpegStretched() {
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        QFETCH(QColor, right);
        QFETCH(QColor, expectedRight);
        QByteArray jpeg = PhotoPicker::uploadJpeg(halves(size, format, Qt::red, right));
        QBuffer buffer(&jpeg);
        QImageReader reader(&buffer);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage decoded = reader.read();
        QCOMPARE(decoded.size(), QSize(200, 200));
        QVERIFY(near(decoded.pixelColor(10, 100), Qt::red));
        QVERIFY(near(decoded.pixelColor(190, 100), expectedRight));
    }

    void uploadIsQualityFifty() {
        const QImage picture = halves({200, 200}, QImage::Format_RGB32, Qt::red, Qt::blue);
        auto encoded = [&](int quality) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "JPEG", quality);
            return bytes;
        };
        const QByteArray jpeg = PhotoPicker::uploadJpeg(picture);
        QCOMPARE(jpeg, encoded(50));
        QVERIFY(jpeg != encoded(75));
        QVERIFY(PhotoPicker::uploadJpeg(QImage()).isEmpty());
    }

    void cropSquareStaysInsideThePicture_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QRectF>("square");
        QTest::addColumn<QPointF>("arg"); // zoom in x, or the move
        QTest::addColumn<QRectF>("expected");
        const QSizeF wide(400, 200);
        const QRectF middle(100, 0, 200, 200);
        QTest::newRow("start: largest, centred")
            << "initial" << wide << QRectF() << QPointF() << middle;
        QTest::newRow("start: empty picture")
            << "initial" << QSizeF(0, 50) << QRectF() << QPointF() << QRectF();
        QTest::newRow("too big: cut to the short side")
            << "clamp" << wide << QRectF(-50, -50, 500, 500) << QPointF()
            << QRectF(100, 0, 200, 200);
        QTest::newRow("over the right edge") << "clamp" << wide << QRectF(350, 10, 100, 100)
                                             << QPointF() << QRectF(300, 10, 100, 100);
        QTest::newRow("zoom 2 round the centre")
            << "zoom" << wide << middle << QPointF(2, 0) << QRectF(150, 50, 100, 100);
        QTest::newRow("zoom out at a corner: centre gives way")
            << "zoom" << wide << QRectF(0, 0, 50, 50) << QPointF(1, 0) << QRectF(0, 0, 200, 200);
        QTest::newRow("zoom above the limit")
            << "zoom" << wide << middle << QPointF(100, 0) << QRectF(187.5, 87.5, 25, 25);
        QTest::newRow("zoom below 1")
            << "zoom" << wide << QRectF(150, 50, 100, 100) << QPointF(0.5, 0) << middle;
        QTest::newRow("zoom NaN") << "zoom" << wide << QRectF(150, 50, 100, 100)
                                  << QPointF(qQNaN(), 0) << middle;
        QTest::newRow("move stops at the edge")
            << "move" << wide << middle << QPointF(1000, -9) << QRectF(200, 0, 200, 200);
        QTest::newRow("move inside") << "move" << wide << QRectF(150, 50, 100, 100)
                                     << QPointF(-30, 5) << QRectF(120, 55, 100, 100);
        QTest::newRow("pixels: rounded, square")
            << "pixels" << wide << QRectF(10.4, 20.6, 99.5, 99.5) << QPointF()
            << QRectF(10, 21, 100, 100);
        QTest::newRow("pixels: one-pixel picture")
            << "pixels" << QSizeF(1, 1) << QRectF(5, 5, 0, 0) << QPointF() << QRectF(0, 0, 1, 1);
    }
    void cropSquareStaysInsideThePicture() {
        QFETCH(QString, op);
        QFETCH(QSizeF, image);
        QFETCH(QRectF, square);
        QFETCH(QPointF, arg);
        QFETCH(QRectF, expected);
        using namespace CropGeometry;
        const QRectF got = op == "initial" ? initial(image)
                           : op == "clamp" ? clamped(square, image)
                           : op == "zoom"  ? zoomedTo(square, arg.x(), image)
                           : op == "move"  ? movedBy(square, arg, image)
                                           : QRectF(pixelRect(square, image.toSize()));
        QCOMPARE(got, expected);
    }

    void unreadableFileToastsAndPassesNothing_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("text") << QByteArray("not a picture\n");
        QTest::newRow("truncated PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("missing") << QByteArray();
    }
    void unreadableFileToastsAndPassesNothing() {
        QFETCH(QByteArray, content);
        m_chosen = m_files.filePath(QStringLiteral("photo.jpg"));
        QFile::remove(m_chosen);
        if (!content.isEmpty()) {
            QFile file(m_chosen);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        pickFile();
        QCOMPARE(Toast::currentText(), PhotoPicker::unreadablePictureText());
        QVERIFY(!cropDialog());
        QCoreApplication::processEvents();
        QVERIFY(m_delivered.isEmpty());
    }

    // Each way out of the crop; only OK (or Enter) passes the square on, moved and zoomed.
    void cropEndsEachWay_data() {
        QTest::addColumn<int>("key"); // 0: no crop is shown
        QTest::addColumn<bool>("closeWhileChoosing");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("chooser cancelled") << 0 << false << false;
        QTest::newRow("screen gone while choosing") << 0 << true << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << false << true;
    }
    void cropEndsEachWay() {
        QFETCH(int, key);
        QFETCH(bool, closeWhileChoosing);
        QFETCH(bool, delivered);
        // Red left, blue right: the start square sits across the middle.
        if (key || closeWhileChoosing)
            m_chosen = save(QStringLiteral("photo.png"),
                            halves({400, 200}, QImage::Format_RGB32, Qt::red, Qt::blue));
        m_closeWhileChoosing = closeWhileChoosing;
        pickFile();
        QPointer<PhotoCropDialog> dialog = m_host ? cropDialog() : nullptr;
        QCOMPARE(bool(dialog), key != 0);
        if (dialog) {
            QTRY_VERIFY(dialog->isVisible());
            PhotoCropView *view = dialog->view();
            QTest::keyClick(view, Qt::Key_Plus);
            QVERIFY(view->zoom() > 1);
            QCOMPARE(dialog->zoomSlider()->value(), qRound(view->zoom() * 100));
            dialog->zoomSlider()->setValue(400); // a 50 x 50 square in the middle
            for (int i = 0; i < 16; ++i)
                QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier); // to the blue side
            QCOMPARE(view->square(), QRectF(350, 75, 50, 50));
            QTest::keyClick(view, Qt::Key(key));
            QTRY_VERIFY(!dialog);
        }
        QCoreApplication::processEvents(); // what the closing queued
        QCOMPARE(m_delivered.size(), int(delivered));
        QVERIFY(!Toast::isShowing());
        if (delivered) {
            const QImage photo = QImage::fromData(m_delivered.first(), "JPEG");
            QCOMPARE(photo.size(), QSize(200, 200));
            QVERIFY(near(photo.pixelColor(5, 5), Qt::blue));
        }
    }
};

QTEST_MAIN(tst_PhotoPicker)
#include "tst_PhotoPicker.moc"
