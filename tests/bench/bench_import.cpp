// The import action as a user runs it: two 12-megapixel phone JPEGs stored sideways (EXIF
// orientation 6) are read from disk, decoded, turned upright and installed by "Import pair".
#include "tests/bench/bench.h"

#include "app/control_ids.h"
#include "app/startup.h"
#include "core/app_state.h"
#include "import/modal_window.h"
#include "tests/native/photo_bytes.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

constexpr int Runs = 3;

// A sensor-sized frame stored on its side, as a phone held upright writes it.
Bytes sidewaysPhoneJpeg() {
    Gdiplus::Bitmap bitmap(4032, 3024, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(4032, 3024),
                                         Gdiplus::Color(255, 40, 90, 160),
                                         Gdiplus::Color(255, 210, 180, 120));
        graphics.FillRectangle(&sky, 0, 0, 4032, 3024);
        Gdiplus::HatchBrush grain(Gdiplus::HatchStyleDiagonalCross, Gdiplus::Color(60, 0, 0, 0),
                                  Gdiplus::Color(0, 0, 0, 0));
        graphics.FillRectangle(&grain, 0, 0, 4032, 3024);
    }
    return withSegmentAfterSoi(encodeImage(bitmap, L"image/jpeg"), orientationApp1(6, false));
}

bool writeBenchFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

} // namespace

DRIFTPANE_BENCH(importTwoPhoneJpegs) {
    const Bytes jpeg = sidewaysPhoneJpeg();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring first = std::wstring(temp) + L"driftpane-bench-first.jpg";
    const std::wstring second = std::wstring(temp) + L"driftpane-bench-second.jpg";
    if (jpeg.empty() || !writeBenchFile(first, jpeg) || !writeBenchFile(second, jpeg)) {
        benchNote("could not write the phone photos");
        return;
    }
    benchNote("two files of " + std::to_string(jpeg.size()) + " bytes, 4032 x 3024 on their side");

    HWND main = createMainWindowAt(1.0f);
    double best = 0;
    for (int run = 0; run < Runs && main; ++run) {
        openModalWindow(ModalKind::ImportMode);
        HWND dialog = appState.importDialog;
        SetDlgItemTextW(dialog, IDC_FIRST_PATH, first.c_str());
        SetDlgItemTextW(dialog, IDC_SECOND_PATH, second.c_str());
        BenchTimer timer;
        SendDlgItemMessageW(dialog, IDC_IMPORT, BM_CLICK, 0, 0);
        const double ms = timer.elapsedMs();
        if (appState.importDialog || !appState.isLocalPair ||
            appState.firstImage->bitmap->GetWidth() != 3024) {
            benchNote("the import did not install an upright pair");
            DestroyWindow(dialog);
            break;
        }
        best = run == 0 ? ms : std::min(best, ms);
    }
    if (best > 0) {
        benchReport("Import pair of two phone JPEGs, best of 3", best, 2 * jpeg.size());
    }
    if (main) {
        DestroyWindow(main);
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) { // the quit message included
    }
    appState.firstImage.reset();
    appState.secondImage.reset();
    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
}
