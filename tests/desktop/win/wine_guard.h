#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QTest>

namespace velmora::testing {

// True inside Wine, whose ntdll exports wine_get_version; false on a real Windows machine.
inline bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace velmora::testing

// These tests write the current user's Run value and desktop: never on a real account.
#define VELMORA_REQUIRE_PRIVATE_WINE_PREFIX()                                                      \
    do {                                                                                           \
        if (!velmora::testing::runningUnderWine())                                                 \
            QSKIP(                                                                                 \
                "changes the user's registry and desktop: runs only in a Wine prefix of its own"); \
    } while (false)
