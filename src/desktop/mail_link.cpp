#include "desktop/mail_link.h"

#include <QDesktopServices>
#include <QUrl>

namespace velmora::desktop {

void DesktopMailLink::open(const QString& address) {
    // A desktop without a mail program makes openUrl fail; nothing is shown then.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address));
}

}  // namespace velmora::desktop
