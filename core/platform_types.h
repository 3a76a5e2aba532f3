// Window and platform handle types for the state record. On Windows they are the real
// types; elsewhere they are opaque stand-ins, so the platform-free logic that reads and
// writes the state builds and runs natively without Windows.
#pragma once

#ifdef _WIN32
#include "core/handles_win.h"
#else
#include <cstdint>
#include <memory>
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
// Natively no font or brush is ever created, so their holders have nothing to release.
struct GdiObjectKeep {
    void operator()(void*) const {}
};
using UniqueFont = std::unique_ptr<HFONT__, GdiObjectKeep>;
using UniqueBrush = std::unique_ptr<HBRUSH__, GdiObjectKeep>;
// Only ever zero-initialised and passed around natively; its members matter on Windows.
struct NOTIFYICONDATAW {
    unsigned char opaque[976];
};
#endif
