#include "desktop/tray_icona.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include "app_info.h"

namespace velmora::desktop {

namespace {

// The tip field of the notification-area record holds 64 bytes with the terminating zero.
constexpr qsizetype kTipLength = 63;
// The name the program's icons are installed under in the hicolor theme (the desktop entry's
// Icon). Taken from the theme, the icon keeps that name, which a D-Bus notification area is
// given as IconName besides the pictures; from the embedded pictures it has none.
constexpr char kThemeIconName[] = "velmora";

}  // namespace

struct TrayIcona::Private {
    QWidget& window;
    QIcon icon;
    QString tip;
    std::unique_ptr<QMenu> menu;
    std::unique_ptr<QSystemTrayIcon> trayIcon;
};

TrayIcona::TrayIcona(QWidget& mainWindow, const QIcon& icon, const QString& tip)
    : d(std::make_unique<Private>(Private{mainWindow, icon, tip, nullptr, nullptr})) {}

TrayIcona::~TrayIcona() = default;

void TrayIcona::CreateTrayMenu() {
    if (d->menu) return;
    d->menu = std::make_unique<QMenu>();
    QAction* open =
        d->menu->addAction(QStringLiteral("Open ") + QString::fromUtf8(app::kProductName));
    d->menu->addSeparator();
    QAction* end = d->menu->addAction(QStringLiteral("End Program"));
    connect(open, &QAction::triggered, this, [this] { HideToTray(false); });
    connect(end, &QAction::triggered, this, [this] { EndProgram(); });
    // Whatever the menu ends with, a choice or a dismissal, the window is then brought forward.
    connect(d->menu.get(), &QMenu::aboutToHide, this, [this] {
        d->window.raise();
        d->window.activateWindow();
    });
}

void TrayIcona::AddTrayIcon() {
    if (d->trayIcon) return;
    d->trayIcon = std::make_unique<QSystemTrayIcon>(
        QIcon::fromTheme(QString::fromLatin1(kThemeIconName), d->icon));
    d->trayIcon->setToolTip(d->tip);
    if (d->menu) d->trayIcon->setContextMenu(d->menu.get());
    // The right button opens the context menu by itself; a left press shows the window; every
    // event on the icon ends with the attempt to bring the window forward.
    connect(d->trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) HideToTray(false);
                d->window.raise();
                d->window.activateWindow();
            });
    // Shown even when no notification area exists yet: Qt adds the icon when one appears, and
    // again whenever the notification area is re-created.
    d->trayIcon->show();
}

void TrayIcona::RemoveTrayIcon() {
    if (d->trayIcon) {
        d->trayIcon->hide();
        d->trayIcon.reset();
    }
    d->menu.reset();
}

void TrayIcona::HideToTray(bool hidden) {
    QWidget& window = d->window;
    if (hidden && isAvailable()) {
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
        window.hide();
    } else {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
    }
    window.update();
}

void TrayIcona::EndProgram() {
    RemoveTrayIcon();
    // Ends at once: no event loop runs again, so no close request or other handler follows.
    // The window system frees the program's windows with its connection, the tray icon too.
    std::fflush(nullptr);
    std::_Exit(0);
}

bool TrayIcona::isAvailable() const {
    return d->trayIcon && d->trayIcon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

QRect TrayIcona::iconGeometry() const { return d->trayIcon ? d->trayIcon->geometry() : QRect(); }

QString TrayTip(const QString& title, const QString& versionText, const QString& legalNotice) {
    QString tip = title + u' ' + versionText + QStringLiteral(" - ") + legalNotice;
    if (tip.size() > kTipLength) {
        tip.truncate(kTipLength);
        if (tip.back().isHighSurrogate()) tip.chop(1);  // never half a character
    }
    return tip;
}

}  // namespace velmora::desktop
