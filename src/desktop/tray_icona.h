#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QWidget;

namespace velmora::desktop {

// The notification-area icon and its menu ("Open Velmora", separator, "End Program").
// Where the desktop has no notification area, the program runs without it.
class TrayIcona : public QObject {
    Q_OBJECT
public:
    TrayIcona(QWidget& mainWindow, const QIcon& icon, const QString& tip);
    ~TrayIcona() override;

    void CreateTrayMenu();
    void AddTrayIcon();
    void RemoveTrayIcon();
    // Hidden: minimized and invisible, only the icon remains. Not hidden: restored, shown,
    // brought forward. Without an icon to bring it back (no notification area) the window is
    // shown instead of hidden.
    void HideToTray(bool hidden);
    // Removes the icon and ends the program at once.
    [[noreturn]] void EndProgram();

    bool isAvailable() const;    // a notification area exists and the icon is shown
    QRect iconGeometry() const;  // the icon on the screen; empty while it is not shown

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Title, " ", version text, " - ", legal notice, cut to the 63 characters a tip holds.
QString TrayTip(const QString& title, const QString& versionText, const QString& legalNotice);

}  // namespace velmora::desktop
