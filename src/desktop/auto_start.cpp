#include "desktop/auto_start.h"

#include "app_info.h"

namespace velmora::desktop {

namespace {

const QString kNotInserted =
    QStringLiteral("Warning: The program was not insert into the tray bar");
const QString kAlreadyInserted =
    QStringLiteral("Warning: The program was already insert into the tray bar");

}  // namespace

bool IsAutoStartEnabled(const AutoStartStore& store) {
    const std::optional<QString> command = store.read();
    return command && !command->isEmpty();
}

void EnableAutoStart(AutoStartStore& store, Warnings& warnings, bool& ticked) {
    if (IsAutoStartEnabled(store)) return;
    if (store.write() && IsAutoStartEnabled(store)) {
        ticked = true;
        return;
    }
    warnings.exclamation(QString::fromUtf8(app::kProductName), kNotInserted);
}

void DisableAutoStart(AutoStartStore& store, Warnings& warnings, bool& ticked) {
    if (!IsAutoStartEnabled(store)) return;
    if (store.remove() && !IsAutoStartEnabled(store)) {
        ticked = false;
        return;
    }
    warnings.critical(QString::fromUtf8(app::kProductName), kAlreadyInserted);
}

void MenuAvvioAuto_Click(AutoStartStore& store, Warnings& warnings, bool loading, bool& ticked) {
    if (loading) return;
    if (ticked) {
        DisableAutoStart(store, warnings, ticked);
    } else {
        EnableAutoStart(store, warnings, ticked);
    }
}

}  // namespace velmora::desktop
