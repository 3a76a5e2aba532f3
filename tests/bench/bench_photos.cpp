// Benchmarks of the photo path: decoding a full-size archive-like JPEG and hashing a
// 40 MiB download. The hashed bytes are also written to bench-sha256-40mib.bin beside the
// benchmark program so that tools/bench can time sha256sum on the very same bytes.
#include "tests/bench/bench.h"

#include "archive/image_data.h"
#include "download/sha256.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr GUID EncoderQualityParameter = {
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};
constexpr int Runs = 3;

struct Lcg {
    std::uint32_t state = 0x2545F491u;
    std::uint8_t next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    }
};

double peakWorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Smooth banded terrain with grain on top, so the encoder faces what a satellite photo
// gives it rather than flat colour.
bool paintSyntheticPhoto(Gdiplus::Bitmap& bitmap) {
    const UINT width = bitmap.GetWidth();
    const UINT height = bitmap.GetHeight();
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) !=
        Gdiplus::Ok) {
        return false;
    }
    Lcg noise;
    for (UINT y = 0; y < height; ++y) {
        auto* row =
            static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
        for (UINT x = 0; x < width; ++x) {
            const int terrain = static_cast<int>((x * 7 + y * 3) / 41 % 96 + (x ^ y) % 23);
            const int grain = noise.next() % 25 - 12;
            const int blue = 60 + terrain / 2 + grain;
            const int green = 80 + terrain + grain;
            const int red = 100 + terrain + (grain >> 1);
            row[3 * x + 0] = static_cast<std::uint8_t>(std::clamp(blue, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(green, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(red, 0, 255));
        }
    }
    return bitmap.UnlockBits(&data) == Gdiplus::Ok;
}

std::vector<std::uint8_t> encodeJpeg(Gdiplus::Bitmap& bitmap, ULONG quality) {
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = EncoderQualityParameter;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    return encodeImage(bitmap, L"image/jpeg", &parameters);
}

} // namespace

DRIFTPANE_BENCH(decodeArchiveSizedJpeg) {
    constexpr UINT Width = 5427;
    constexpr UINT Height = 6790;
    std::vector<std::uint8_t> jpeg;
    {
        Gdiplus::Bitmap synthetic(Width, Height, PixelFormat24bppRGB);
        if (synthetic.GetLastStatus() != Gdiplus::Ok || !paintSyntheticPhoto(synthetic)) {
            benchNote("could not make the synthetic photo");
            return;
        }
        BenchTimer encodeTimer;
        jpeg = encodeJpeg(synthetic, 90);
        benchReport("GDI+ JPEG encode 5427 x 6790, quality 90", encodeTimer.elapsedMs());
    }
    if (jpeg.empty()) {
        benchNote("GDI+ could not encode the synthetic photo");
        return;
    }
    benchNote("file size " + std::to_string(jpeg.size()) + " bytes");

    double best = 0;
    double total = 0;
    double bestWithPixels = 0;
    for (int run = 0; run < Runs; ++run) {
        std::vector<std::uint8_t> copy = jpeg;
        BenchTimer timer;
        auto image = decodePhoto(std::move(copy));
        const double decodeMs = timer.elapsedMs();
        if (!image) {
            benchNote("decodePhoto refused the photo");
            return;
        }
        // GDI+ on Windows may defer decoding until the pixels are first needed; reading
        // them all makes the figure comparable across platforms.
        Gdiplus::Rect all(0, 0, static_cast<INT>(image->bitmap->GetWidth()),
                          static_cast<INT>(image->bitmap->GetHeight()));
        Gdiplus::BitmapData data{};
        if (image->bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                    &data) == Gdiplus::Ok) {
            image->bitmap->UnlockBits(&data);
        }
        const double withPixelsMs = timer.elapsedMs();
        best = run == 0 ? decodeMs : std::min(best, decodeMs);
        bestWithPixels = run == 0 ? withPixelsMs : std::min(bestWithPixels, withPixelsMs);
        total += decodeMs;
    }
    benchReport("decodePhoto, best of 3", best, jpeg.size());
    benchReport("decodePhoto, mean of 3", total / Runs, jpeg.size());
    benchReport("decodePhoto + reading all pixels, best of 3", bestWithPixels, jpeg.size());
    char peak[64];
    std::snprintf(peak, sizeof peak, "peak working set %.0f MiB", peakWorkingSetMb());
    benchNote(peak);
}

DRIFTPANE_BENCH(sha256FortyMebibytes) {
    std::vector<std::uint8_t> bytes(40u << 20);
    Lcg generator;
    for (std::uint8_t& value : bytes) {
        value = generator.next();
    }
    if (FILE* file = openBenchOutput(L"bench-sha256-40mib.bin")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    double best = 0;
    std::string digest;
    for (int run = 0; run < Runs; ++run) {
        BenchTimer timer;
        digest = sha256Hex(bytes);
        const double ms = timer.elapsedMs();
        best = run == 0 ? ms : std::min(best, ms);
    }
    benchReport("sha256Hex 40 MiB (BCrypt), best of 3", best, bytes.size());
    benchNote("digest " + digest + "  bench-sha256-40mib.bin");
}
