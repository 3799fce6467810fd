#pragma once

#include "desktop/services.h"

namespace velmora::desktop {

// Hands "mailto:" and the address to the desktop's mail handler.
class DesktopMailLink : public MailLink {
public:
    void open(const QString& address) override;
};

}  // namespace velmora::desktop
