#include "BasicVC.h"
#include "DeviceProfile.h"
#include "ScreenTestFixture.h"
#include "ShellState.h"
#include "Toast.h"
#include "common/ScreenLinks.h"
#include "personal/CoreMediaFuncManagerVC.h"
#include "personal/CropGeometry.h"
#include "personal/PhotoCropDialog.h"
#include "personal/PhotoPicker.h"
#include "reflections/GradeAlertView.h"
#include "reflections/PictureBrowser.h"

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
    QList<QByteArray> m_delivered;

    // Left half `left`, right half `right`: which side ends up where shows how it was scaled.
    static QImage halves(QSize size, QImage::Format format, QColor left, QColor right) {
        QImage image(size, format);
        image.fill(right);
        QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), left);
        return image;
    }

    void pickFile() {
        PhotoPicker::pick(m_host, PhotoPicker::Source::File,
                          [this](const QByteArray &jpeg) { m_delivered << jpeg; });
    }

    static bool near(QColor a, QColor b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) <
               90;
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        m_host = new BasicVC;
        QVERIFY(m_fixture.show(m_host));
        m_delivered.clear();
        PhotoPicker::setFileChooser([this](QWidget *) { return m_chosen; });
    }

    // The features' seams are back after the one reset a test fixture makes: one left out would
    // carry a test's link, phone or dialog into the next test.
    void resetPutsTheFeaturesSeamsBack() {
        ScreenLinks::set(ScreenLinks::Link::Grading, [](qint64) { return new BasicVC; });
        int opened = 0;
        CoreMediaFuncManagerVC::setUrlOpener([&opened](const QUrl &) { return ++opened; });
        DeviceProfile::setCurrent(*DeviceProfile::fromName(QStringLiteral("ipad")));
        (new GradeAlertView([](int) {}))->show();
        (new PictureBrowser(nullptr, 0))->show();
        QVERIFY(GradeAlertView::current() && PictureBrowser::current());

        ShellState::resetForTests();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no screen registered"));
        QVERIFY(!ScreenLinks::make(ScreenLinks::Link::Grading));
        CoreMediaFuncManagerVC::call(QStringLiteral("10086"), nullptr);
        QCOMPARE(opened, 0);
        QCOMPARE(DeviceProfile::current().name, QStringLiteral("iphone6"));
        QVERIFY(!GradeAlertView::current() && !PictureBrowser::current());
    }

    // Stretched to 200 x 200 on white, at quality 50.
    void uploadIsA200SquareJpeg() {
        const QImage wide = halves({600, 90}, QImage::Format_ARGB32, Qt::red, Qt::transparent);
        const QByteArray jpeg = PhotoPicker::uploadJpeg(wide);
        const QImage decoded = QImage::fromData(jpeg, "JPEG");
        QCOMPARE(decoded.size(), QSize(200, 200));
        QVERIFY(near(decoded.pixelColor(10, 100), Qt::red));
        QVERIFY(near(decoded.pixelColor(190, 100), Qt::white));
        // An opaque square needs no scaling or fill: only the encoding is left.
        const QImage square = halves({200, 200}, QImage::Format_RGB32, Qt::red, Qt::blue);
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        square.save(&buffer, "JPEG", 50);
        QCOMPARE(PhotoPicker::uploadJpeg(square), expected);
    }

    void cropSquareStaysInsideThePicture_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QRectF>("square");
        QTest::addColumn<QPointF>("arg"); // zoom in x, or the move
        QTest::addColumn<QRectF>("expected");
        const QSizeF wide(400, 200);
        const QRectF middle(100, 0, 200, 200);
        QTest::newRow("too big: cut to the short side")
            << "clamp" << wide << QRectF(-50, -50, 500, 500) << QPointF()
            << QRectF(100, 0, 200, 200);
        QTest::newRow("over the right edge") << "clamp" << wide << QRectF(350, 10, 100, 100)
                                             << QPointF() << QRectF(300, 10, 100, 100);
        QTest::newRow("zoom 2 round the square's centre")
            << "zoom" << wide << QRectF(0, 0, 200, 200) << QPointF(2, 0)
            << QRectF(50, 50, 100, 100);
        QTest::newRow("zoom NaN") << "zoom" << wide << QRectF(150, 50, 100, 100)
                                  << QPointF(qQNaN(), 0) << middle;
        QTest::newRow("pixels: rounded, square")
            << "pixels" << wide << QRectF(10.4, 20.6, 99.5, 99.5) << QPointF()
            << QRectF(10, 21, 100, 100);
    }
    void cropSquareStaysInsideThePicture() {
        QFETCH(QString, op);
        QFETCH(QSizeF, image);
        QFETCH(QRectF, square);
        QFETCH(QPointF, arg);
        QFETCH(QRectF, expected);
        using namespace CropGeometry;
        const QRectF got = op == "clamp"  ? clamped(square, image)
                           : op == "zoom" ? zoomedTo(square, arg.x(), image)
                                          : QRectF(pixelRect(square, image.toSize()));
        QCOMPARE(got, expected);
    }

    void unreadableFileToastsAndPassesNothing() {
        m_chosen = m_files.filePath(QStringLiteral("photo.jpg"));
        QFile file(m_chosen);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture\n") > 0);
        file.close();
        pickFile();
        QCOMPARE(Toast::currentText(), PhotoPicker::unreadablePictureText());
        QVERIFY(!m_host->findChild<PhotoCropDialog *>());
        QCoreApplication::processEvents();
        QVERIFY(m_delivered.isEmpty());
    }

    // Only OK (or Enter) passes the square on, as moved and zoomed.
    void cropEndsEachWay() {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            // Red left, blue right: the start square sits across the middle.
            m_chosen = m_files.filePath(QStringLiteral("photo.png"));
            QVERIFY(halves({400, 200}, QImage::Format_RGB32, Qt::red, Qt::blue).save(m_chosen));
            pickFile();
            QPointer<PhotoCropDialog> dialog = m_host->findChild<PhotoCropDialog *>();
            QTRY_VERIFY(dialog && dialog->isVisible());
            PhotoCropView *view = dialog->view();
            dialog->zoomSlider()->setValue(400); // a 50 x 50 square in the middle
            for (int i = 0; i < 16; ++i)
                QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier); // to the blue side
            QTest::keyClick(view, key);
            QTRY_VERIFY(!dialog);
            QCoreApplication::processEvents(); // what the closing queued
        }
        QCOMPARE(m_delivered.size(), 1);
        const QImage photo = QImage::fromData(m_delivered.first(), "JPEG");
        QVERIFY(near(photo.pixelColor(5, 5), Qt::blue));
    }
};

QTEST_MAIN(tst_PhotoPicker)
#include "tst_PhotoPicker.moc"
