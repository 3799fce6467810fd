// A stand-in main window with the real tray icon, driven by tray_test under Xvfb. It reports on
// standard output, one line per change:
//   icon X Y W H     where the tray icon is (0 0 0 0 while it is not shown)
//   visible 0|1      the main window hidden or shown
//   menu 0|1         the tray menu closed or open
//   tray 0|1         whether a notification area was found at start-up
// With --hidden it starts as the program does with automatic start-up on.
#include "desktop/tray_icona.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using velmora::desktop::TrayIcona;

namespace {

void report(const QString& line) {
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Reporter : public QObject {
public:
    explicit Reporter(QWidget& window) : m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool shown = event->type() == QEvent::Show;
        if (shown || event->type() == QEvent::Hide) {
            if (watched == &m_window) {
                reportVisible(shown);
            } else if (qobject_cast<QMenu*>(watched)) {
                report(QStringLiteral("menu %1").arg(shown ? 1 : 0));
            }
        }
        return false;
    }

public:
    void reportVisible(bool visible) {
        if (visible == m_visible) return;
        m_visible = visible;
        report(QStringLiteral("visible %1").arg(visible ? 1 : 0));
    }

private:
    QWidget& m_window;
    int m_visible = -1;
};

QIcon programIcon() {
    QIcon icon(QStringLiteral(":/icons/velmora_32.png"));
    if (!icon.isNull() && !icon.availableSizes().isEmpty()) return icon;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkBlue);
    QPainter(&pixmap).fillRect(8, 8, 16, 16, Qt::yellow);
    return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool hidden = app.arguments().contains(QStringLiteral("--hidden"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Velmora probe"));
    window.resize(300, 200);
    Reporter reporter(window);
    app.installEventFilter(&reporter);

    TrayIcona tray(window, programIcon(), QStringLiteral("Velmora probe"));
    tray.CreateTrayMenu();
    tray.AddTrayIcon();
    report(QStringLiteral("tray %1").arg(tray.isAvailable() ? 1 : 0));
    tray.HideToTray(hidden);
    reporter.reportVisible(window.isVisible());

    QRect last(0, 0, -1, -1);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        const QRect geometry = tray.iconGeometry();
        if (geometry == last) return;
        last = geometry;
        report(QStringLiteral("icon %1 %2 %3 %4")
                   .arg(geometry.x())
                   .arg(geometry.y())
                   .arg(geometry.width())
                   .arg(geometry.height()));
    });
    poll.start(100);
    return app.exec();
}
