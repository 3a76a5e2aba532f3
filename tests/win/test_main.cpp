// Entry point of the Windows test program: starts COM and GDI+ as the program does, so
// that decoding, drawing and windows work inside the tests.
#include "core/app_state.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        return 2;
    }
    appState.instanceHandle = GetModuleHandleW(nullptr);
    appState.gdiplusToken = token;
    int result = RUN_ALL_TESTS();
    appState.firstImage.reset();
    appState.secondImage.reset();
    Gdiplus::GdiplusShutdown(token);
    CoUninitialize();
    return result;
}
