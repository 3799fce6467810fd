#pragma once

#include <cstdint>
#include <string>

// Finding a calculator's window and typing into it with the Win32 API. No Qt here, so these
// files compile with the plain MinGW cross compiler too. Window handles travel as integers
// (0: none) to keep <windows.h> out of the callers.
namespace velmora::desktop::win32 {

// A visible, enabled top-level window of the process. When the process has none, a window of
// the Windows 10/11 calculator app, whose launcher calc.exe starts it in another process and
// exits; 0 when neither exists.
std::uintptr_t findCalculatorWindow(unsigned long processId);

// Restores the window when minimized and asks for it to become the foreground window.
void bringToForeground(std::uintptr_t window);

// True when the window (or its owner frame) is the foreground window.
bool isForeground(std::uintptr_t window);

// Types UTF-16 text as Unicode key presses, only while the window is in the foreground.
// False, with nothing sent, otherwise.
bool typeUnicode(std::uintptr_t window, const std::u16string& text);

}  // namespace velmora::desktop::win32
