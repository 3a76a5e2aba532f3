// Benchmark of one main window paint with the default pair, beside the two fitted photo
// draws alone, which are the bulk of it.
#include "tests/bench/bench.h"

#include "archive/archive_photo.h"
#include "core/app_state.h"
#include "core/view_controller.h"
#include "render/comparison.h"
#include "render/main_paint.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 5;
constexpr int ClientWidth = 1220;
constexpr int ClientHeight = 850;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string runsText(const std::vector<double>& values) {
    std::string text = "runs:";
    for (double value : values) {
        text += ' ';
        text += std::to_string(static_cast<int>(value + 0.5));
    }
    return text + " ms";
}

} // namespace

DRIFTPANE_BENCH(paintDefaultPair) {
    appState.firstImage = loadArchivePhoto(0);
    appState.secondImage = loadArchivePhoto(18);
    if (!appState.firstImage || !appState.secondImage) {
        benchNote("the default pair could not be loaded");
        return;
    }
    benchNote("photos " + std::to_string(appState.firstImage->bitmap->GetWidth()) + " x " +
              std::to_string(appState.firstImage->bitmap->GetHeight()) + " and " +
              std::to_string(appState.secondImage->bitmap->GetWidth()) + " x " +
              std::to_string(appState.secondImage->bitmap->GetHeight()));
    appState.statusText = L"Ready";

    HWND window = createPaintWindow(ClientWidth, ClientHeight);
    if (!window) {
        benchNote("no window");
        return;
    }
    std::vector<double> paints;
    for (int run = 0; run < Runs; ++run) {
        InvalidateRect(window, nullptr, FALSE);
        BenchTimer timer;
        UpdateWindow(window); // sends WM_PAINT at once
        paints.push_back(timer.elapsedMs());
    }
    DestroyWindow(window);
    benchReport("paintMainWindow 1220 x 850, median of 5", median(paints));
    benchNote(runsText(paints));

    const ViewRect view = viewRect(appState, ClientWidth, ClientHeight);
    const Gdiplus::RectF rect(view.left, view.top, view.width, view.height);
    std::vector<double> draws;
    for (int run = 0; run < Runs; ++run) {
        Gdiplus::Bitmap buffer(ClientWidth, ClientHeight, PixelFormat32bppPARGB);
        Gdiplus::Graphics graphics(&buffer);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        BenchTimer timer;
        drawPhotoFitted(graphics, appState.secondImage, rect);
        drawPhotoFitted(graphics, appState.firstImage, rect);
        draws.push_back(timer.elapsedMs());
    }
    benchReport("two drawPhotoFitted into the view, median of 5", median(draws));
    benchNote(runsText(draws));

    appState.firstImage.reset();
    appState.secondImage.reset();
}
