// The history list and the About box under a dark desktop theme (Fusion with a dark palette, as
// qt6ct's "darker" scheme or Adwaita-dark give it): their fixed dark text must keep its contrast
// against the background actually painted behind it.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QStyleFactory>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <map>
#include <utility>

#include "ui/frm_about.h"
#include "ui_fixture.h"

using namespace velmora::ui;
using namespace velmora::ui::test;

namespace {

// WCAG 2's minimum for body text; the history and the licence notice are 8.25 pt.
constexpr double kMinimumContrast = 4.5;

double channelLuminance(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// WCAG relative luminance, 0 (black) to 1 (white).
double relativeLuminance(QRgb rgb) {
    return 0.2126 * channelLuminance(qRed(rgb)) + 0.7152 * channelLuminance(qGreen(rgb)) +
           0.0722 * channelLuminance(qBlue(rgb));
}

double contrastRatio(QRgb a, QRgb b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of text painted in area: the background is the area's most frequent colour, the
// text the pixel farthest from it in luminance (a glyph's core, not its anti-aliased rim).
// 1 when nothing but the background was painted.
double paintedTextContrast(const QImage& area) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) ++counts[area.pixel(x, y) | 0xff000000u];
    }
    QRgb background = 0;
    int most = 0;
    for (const auto& [rgb, count] : counts) {
        if (count > most) {
            most = count;
            background = rgb;
        }
    }
    double best = 1.0;
    for (const auto& [rgb, count] : counts) best = std::max(best, contrastRatio(rgb, background));
    return best;
}

QPalette darkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor base(35, 35, 35);
    const QColor text(230, 230, 230);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
    return dark;
}

// Kept for a person to look at when VELMORA_SCREENSHOT_DIR names a folder.
void keep(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(folder + u'/' + name + QStringLiteral(".png"));
}

}  // namespace

class DarkThemeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
    }

    // The list as it stands after a few entries, enabled and while the About box disables the
    // window; and the About box's notices.
    void fixedTextKeepsItsContrast() {
        WindowUnderTest ui;
        QVERIFY(ui.activated);
        Calcolatrice& window = *ui.window;
        for (const char* text : {"45", "30"}) {
            QTest::keyClicks(&window, QString::fromLatin1(text));
            QTest::keyClick(&window, Qt::Key_Return);
        }
        QVERIFY(ui.historyCount() > 0);
        QWidget* viewport = window.historyList()->viewport();
        const QImage history = viewport->grab().toImage();
        keep(window.grab().toImage(), QStringLiteral("dark_window"));

        QTest::keyClick(&window, Qt::Key_F1);
        Frm_About& about = *window.about();
        QVERIFY(about.isVisible());
        QVERIFY(!window.isEnabled());
        const QImage disabledHistory = viewport->grab().toImage();
        const QImage box = about.grab().toImage();
        keep(box, QStringLiteral("dark_about"));

        for (const auto& [what, image] :
             {std::pair{"history", history}, std::pair{"history, disabled", disabledHistory}}) {
            const double contrast = paintedTextContrast(image);
            QVERIFY2(contrast >= kMinimumContrast,
                     qPrintable(QString::fromLatin1(what) + u' ' + QString::number(contrast)));
        }
        for (const char* name : {"Lab_copy", "Lab_Warning", "Lab_EMail"}) {
            const QLabel* label = about.findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY(label != nullptr);
            const double contrast = paintedTextContrast(box.copy(label->geometry()));
            QVERIFY2(contrast >= kMinimumContrast,
                     qPrintable(QString::fromLatin1(name) + u' ' + QString::number(contrast)));
        }
        QTest::keyClick(&about, Qt::Key_Escape);
    }
};

QTEST_MAIN(DarkThemeTest)
#include "dark_theme_test.moc"
