// The window on a scaled screen (run with QT_SCALE_FACTOR set above 1): every picture it paints
// comes from the twice-resolution drawing at the screen's device-pixel ratio, and the icons
// offer a drawn size for every scale.

#include <QIcon>
#include <QImage>
#include <QTest>

#include <cmath>

#include "picture_paths.h"
#include "ui/frm_about.h"
#include "ui/key_label.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

class ScaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_ratio = qApp->devicePixelRatio();
        QVERIFY2(m_ratio > 1.0, "run with QT_SCALE_FACTOR above 1");
        m_ui = std::make_unique<WindowUnderTest>();
        QVERIFY(m_ui->activated);
        QTest::keyClick(m_ui->window.get(), Qt::Key_F1);
        QVERIFY(QTest::qWaitForWindowExposed(m_ui->window->about()));
    }
    void cleanupTestCase() { m_ui.reset(); }

    void picturesComeFromTheTwiceResolutionDrawing_data() {
        QTest::addColumn<PictureBox*>("box");
        QList<PictureBox*> boxes = m_ui->window->findChildren<PictureBox*>();
        boxes.append(m_ui->window->about()->logo());
        QCOMPARE(boxes.size(), 1 + calc::kIndicatorCount + 1);  // face, indicators, banner
        for (PictureBox* box : boxes) QTest::newRow(qPrintable(box->objectName())) << box;
    }

    void picturesComeFromTheTwiceResolutionDrawing() {
        QFETCH(PictureBox*, box);
        const QString path = box->picturePath();
        const QImage plain(path);
        const QImage twice(res::twiceResolutionPath(path));
        QVERIFY2(!twice.isNull(), qPrintable(path));
        QCOMPARE(twice.size(), plain.size() * 2);

        const QImage shown = box->picture();
        QCOMPARE(shown.devicePixelRatio(), m_ratio);
        const QSize device(int(std::lround(plain.width() * m_ratio)),
                           int(std::lround(plain.height() * m_ratio)));
        QCOMPARE(shown.size(), device);
        if (qFuzzyCompare(m_ratio, 2.0)) {
            QCOMPARE(shown.convertToFormat(twice.format()), twice);
        }
        // Painted one to one onto the device pixels: what the box shows is the picture itself.
        if (box->size() == plain.size()) {
            const QImage painted = box->grab().toImage();
            QCOMPARE(painted.devicePixelRatio(), m_ratio);
            QCOMPARE(painted.convertToFormat(QImage::Format_RGB32).copy(QRect(QPoint(), device)),
                     shown.convertToFormat(QImage::Format_RGB32));
        }
    }

    // The window and tray icon, and the About box's icon, hold a drawing for the scaled size.
    void iconsHoldADrawingForTheScale_data() {
        QTest::addColumn<int>("logical");
        for (int size : {16, 32}) QTest::addRow("%d", size) << size;
    }

    void iconsHoldADrawingForTheScale() {
        QFETCH(int, logical);
        const QIcon icon = m_ui->window->windowIcon();
        for (int size : res::kProgramIconSizes) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
        }
        const int device = logical * 2;
        QImage drawn = QImage(res::programIconPath(device)).convertToFormat(QImage::Format_ARGB32);
        drawn.setDevicePixelRatio(2.0);
        QCOMPARE(icon.pixmap(QSize(logical, logical), 2.0)
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32),
                 drawn);

        QImage information =
            QImage(res::twiceResolutionPath(QString::fromLatin1(res::kInformation32)))
                .convertToFormat(QImage::Format_ARGB32);
        information.setDevicePixelRatio(2.0);
        const QIcon aboutIcon = m_ui->window->about()->windowIcon();
        QCOMPARE(
            aboutIcon.pixmap(QSize(32, 32), 2.0).toImage().convertToFormat(QImage::Format_ARGB32),
            information);
    }

private:
    ScratchHome m_home;
    double m_ratio = 1.0;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(ScaleTest)
#include "scale_test.moc"
