#include "desktop/win/calculator_win32.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cwctype>
#include <vector>

namespace velmora::desktop::win32 {

namespace {

// The executables of the calculator app that calc.exe hands over to (Windows 10, Windows 11).
constexpr std::array<const wchar_t*, 2> kCalculatorApps = {L"calculator.exe", L"calculatorapp.exe"};

HWND toHandle(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

bool isCandidate(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window) &&
           GetWindow(window, GW_OWNER) == nullptr;
}

std::wstring lowerFileName(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

bool isCalculatorProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    std::vector<wchar_t> buffer(MAX_PATH * 4);
    DWORD size = static_cast<DWORD>(buffer.size());
    const bool ok = QueryFullProcessImageNameW(process, 0, buffer.data(), &size) != 0;
    CloseHandle(process);
    if (!ok) return false;
    const std::wstring name = lowerFileName(std::wstring(buffer.data(), size));
    for (const wchar_t* app : kCalculatorApps) {
        if (name == app) return true;
    }
    return false;
}

struct Search {
    DWORD processId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK matchProcess(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && isCandidate(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK matchCalculatorChild(HWND child, LPARAM parameter) {
    auto* found = reinterpret_cast<bool*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    if (isCalculatorProcess(owner)) {
        *found = true;
        return FALSE;
    }
    return TRUE;
}

// Store apps draw inside a frame window of ApplicationFrameHost; the app owns a child of it.
BOOL CALLBACK matchCalculatorApp(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!isCandidate(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    bool found = isCalculatorProcess(owner);
    if (!found) EnumChildWindows(window, matchCalculatorChild, reinterpret_cast<LPARAM>(&found));
    if (found) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::uintptr_t findCalculatorWindow(unsigned long processId) {
    Search search;
    search.processId = processId;
    EnumWindows(matchProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.found) EnumWindows(matchCalculatorApp, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<std::uintptr_t>(search.found);
}

void bringToForeground(std::uintptr_t window) {
    HWND handle = toHandle(window);
    if (IsIconic(handle)) ShowWindow(handle, SW_RESTORE);
    SetForegroundWindow(handle);
}

bool isForeground(std::uintptr_t window) {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    HWND handle = toHandle(window);
    return foreground == handle || GetAncestor(foreground, GA_ROOT) == GetAncestor(handle, GA_ROOT);
}

bool typeUnicode(std::uintptr_t window, const std::u16string& text) {
    if (text.empty() || !isForeground(window)) return false;
    std::vector<INPUT> inputs;
    inputs.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = static_cast<WORD>(unit);
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    // One call, so no other input can come between the keys.
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

}  // namespace velmora::desktop::win32
