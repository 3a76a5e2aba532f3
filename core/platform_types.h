// Window and platform handle types for the state record. On Windows they are the real
// types; elsewhere they are opaque stand-ins, so the platform-free logic that reads and
// writes the state builds and runs natively without Windows.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <cstdint>
struct HWND__;
struct HFONT__;
struct HBRUSH__;
struct HINSTANCE__;
using HWND = HWND__*;
using HFONT = HFONT__*;
using HBRUSH = HBRUSH__*;
using HINSTANCE = HINSTANCE__*;
using ULONG_PTR = std::uintptr_t;
using UINT = std::uint32_t;
// Only ever zero-initialised and passed around natively; its members matter on Windows.
struct NOTIFYICONDATAW {
    unsigned char opaque[976];
};
#endif
