#pragma once

#include "desktop/services.h"

// The "Automatic startup" entry of the Options menu. The tick mirrors the store and is
// changed only after the store has been read back.
namespace velmora::desktop {

// True when the entry exists and is not empty; false otherwise and on any failure.
bool IsAutoStartEnabled(const AutoStartStore& store);

// Writes the entry unless it is already on, then ticks when it reads back; warns otherwise.
void EnableAutoStart(AutoStartStore& store, Warnings& warnings, bool& ticked);

// Removes the entry unless it is already off, then unticks when it is gone; warns otherwise.
void DisableAutoStart(AutoStartStore& store, Warnings& warnings, bool& ticked);

// Does nothing while the program is loading; else enables when unticked, disables when ticked.
void MenuAvvioAuto_Click(AutoStartStore& store, Warnings& warnings, bool loading, bool& ticked);

}  // namespace velmora::desktop
