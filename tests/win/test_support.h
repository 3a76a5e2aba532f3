// Helpers shared by the Windows tests and the benchmark: synthetic decoded photos, a
// window that paints like the main window, and pixel snapshots of bitmaps and windows.
#pragma once

#include "app/startup.h"
#include "archive/image_data.h"
#include "core/app_state.h"
#include "render/main_paint.h"

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The main window as start-up creates it, at the given scale and with the font of that
// scale; null when creation fails. The rest of the state stays as the caller left it.
inline HWND createMainWindowAt(float scale) {
    appState.uiScale = scale;
    appState.uiFont.reset(createUiFont(scale));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClasses();
    return createMainWindow();
}

// Dispatches what is queued and swallows a quit message, so that it never ends a later
// test's loop; returns its exit code, or -1 when there was none.
inline int pumpMessages() {
    int quitCode = -1;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
        } else {
            DispatchMessageW(&message);
        }
    }
    return quitCode;
}

// Back to the defaults, but the instance and GDI+ token set by the test program's entry
// point outlive every test.
inline void resetAppStateKeepingHandles() {
    const HINSTANCE instance = appState.instanceHandle;
    const ULONG_PTR token = appState.gdiplusToken;
    resetAppStateForTests(appState);
    appState.instanceHandle = instance;
    appState.gdiplusToken = token;
}

// The bitmap as file bytes from GDI+'s own encoder for the MIME type; empty on failure.
inline std::vector<std::uint8_t>
encodeImage(Gdiplus::Bitmap& bitmap, const wchar_t* mimeType,
            const Gdiplus::EncoderParameters* parameters = nullptr) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return {};
    }
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) {
        return {};
    }
    const Gdiplus::ImageCodecInfo* codec = nullptr;
    for (UINT i = 0; i < count && !codec; ++i) {
        codec = std::wstring(codecs[i].MimeType) == mimeType ? &codecs[i] : nullptr;
    }
    IStream* raw = nullptr;
    if (!codec || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) {
        return {};
    }
    ComPtr<IStream> stream(raw);
    STATSTG stat{};
    LARGE_INTEGER start{};
    if (bitmap.Save(stream.get(), &codec->Clsid, parameters) != Gdiplus::Ok ||
        FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
        FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) ||
        read != bytes.size()) {
        return {};
    }
    return bytes;
}

inline std::vector<std::uint8_t> encodePng(Gdiplus::Bitmap& bitmap) {
    return encodeImage(bitmap, L"image/png");
}

// A photo of the given size painted by paint, encoded and decoded the way every photo is.
inline std::shared_ptr<ImageData> makePhoto(int width, int height,
                                            const std::function<void(Gdiplus::Graphics&)>& paint) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        paint(graphics);
    }
    std::vector<std::uint8_t> bytes = encodePng(bitmap);
    return bytes.empty() ? nullptr : decodePhoto(std::move(bytes));
}

inline std::shared_ptr<ImageData> solidPhoto(int width, int height, std::uint32_t argb) {
    return makePhoto(width, height,
                     [argb](Gdiplus::Graphics& graphics) { graphics.Clear(Gdiplus::Color(argb)); });
}

// Pixels as 0xFFRRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const {
        return argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)];
    }
};

// Alpha is set to opaque unless keepAlpha asks for the bitmap's own.
inline Pixels bitmapPixels(Gdiplus::Bitmap& bitmap, bool keepAlpha = false) {
    Pixels pixels;
    pixels.width = static_cast<int>(bitmap.GetWidth());
    pixels.height = static_cast<int>(bitmap.GetHeight());
    pixels.argb.assign(static_cast<std::size_t>(pixels.width) * pixels.height, 0);
    Gdiplus::Rect all(0, 0, pixels.width, pixels.height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(pixels.width);
    data.Height = static_cast<UINT>(pixels.height);
    data.Stride = pixels.width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.argb.data();
    // Reads straight into the vector, converted from whatever format the bitmap holds.
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
        bitmap.UnlockBits(&data);
    }
    for (std::uint32_t& pixel : pixels.argb) {
        pixel |= keepAlpha ? 0 : 0xFF000000;
    }
    return pixels;
}

// A half-open rectangle of pixels.
struct PixelBox {
    int left, top, right, bottom;
};

template <typename Predicate>
int countPixels(const Pixels& pixels, const PixelBox& box, Predicate predicate) {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            count += predicate(pixels.at(x, y), x, y) ? 1 : 0;
        }
    }
    return count;
}

// What the window's client area shows, copied out of its device context.
inline Pixels captureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ previous = SelectObject(memoryDc, dib);
        BitBlt(memoryDc, 0, 0, pixels.width, pixels.height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        pixels.argb.assign(source, source + static_cast<std::size_t>(pixels.width) * pixels.height);
        for (std::uint32_t& pixel : pixels.argb) {
            pixel |= 0xFF000000;
        }
        SelectObject(memoryDc, previous);
        DeleteObject(dib);
    }
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

inline LRESULT CALLBACK paintTestWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A shown, borderless top-level window of the given client size whose WM_PAINT is the
// main window's painting; it has painted once when this returns. Null on failure.
inline HWND createPaintWindow(int width, int height) {
    constexpr wchar_t ClassName[] = L"DriftpanePaintTestWindow";
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = paintTestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    RegisterClassExW(&windowClass); // a second registration fails harmlessly
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, ClassName, L"Driftpane paint test", WS_POPUP, 0, 0, width,
                        height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    return window;
}

// The main window's painting at the given client size, as the screen shows it.
inline Pixels paintedWindow(int width, int height) {
    HWND window = createPaintWindow(width, height);
    if (!window) {
        return {};
    }
    Pixels pixels = captureClient(window);
    DestroyWindow(window);
    return pixels;
}

// Left clicks of the real mouse at a point of a shown control (client coordinates), through
// the system's input queue, and what they cause dispatched. Clicks at one point in one call
// come within the double-click time, so two of them are a double click. Returns once the
// control has taken every button release, however long a busy machine takes to deliver
// them (at most a minute, which only a lost click waits out).
inline int clicksTaken = 0;
inline HWND clickedControl = nullptr;
inline LRESULT CALLBACK countButtonReleases(int code, WPARAM wParam, LPARAM lParam) {
    const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && wParam == WM_LBUTTONUP && mouse->hwnd == clickedControl) {
        ++clicksTaken;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

inline void clickWithMouse(HWND control, POINT at, int clicks) {
    clicksTaken = 0;
    clickedControl = control;
    HHOOK hook = SetWindowsHookExW(WH_MOUSE, countButtonReleases, nullptr, GetCurrentThreadId());
    ClientToScreen(control, &at);
    SetCursorPos(at.x, at.y);
    std::vector<INPUT> inputs;
    for (int i = 0; i < clicks; ++i) {
        for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = button;
            inputs.push_back(input);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    for (const ULONGLONG end = GetTickCount64() + 60000;
         clicksTaken < clicks && GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pumpMessages();
    }
    pumpMessages();
    UnhookWindowsHookEx(hook);
    clickedControl = nullptr;
}

// The notification codes of the WM_COMMAND messages from one control id that windows of this
// thread receive while the recorder lives.
struct CommandNotices {
    explicit CommandNotices(int controlId) {
        id = controlId;
        codes.clear();
        hook = SetWindowsHookExW(WH_CALLWNDPROC, &record, nullptr, GetCurrentThreadId());
    }
    ~CommandNotices() {
        if (hook) {
            UnhookWindowsHookEx(hook);
        }
    }
    CommandNotices(const CommandNotices&) = delete;
    CommandNotices& operator=(const CommandNotices&) = delete;

    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->message == WM_COMMAND && LOWORD(sent->wParam) == id) {
            codes.push_back(HIWORD(sent->wParam));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline int id = 0;
    static inline std::vector<WORD> codes;
    HHOOK hook = nullptr;
};

inline int channelOf(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

// The largest difference over the red, green and blue channels.
inline int colourDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(channelOf(a, shift) - channelOf(b, shift));
        worst = d > worst ? d : worst;
    }
    return worst;
}

// Linear mix of two opaque colours, t = 0 giving from and 1 giving to.
inline std::uint32_t blend(std::uint32_t from, std::uint32_t to, float t) {
    std::uint32_t result = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const float value = channelOf(from, shift) * (1.0f - t) + channelOf(to, shift) * t;
        result |= static_cast<std::uint32_t>(value + 0.5f) << shift;
    }
    return result;
}

inline std::string hexColour(std::uint32_t colour) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(colour));
    return text;
}

// The benchmark is built without GoogleTest; only the tests get the assertion helper.
#if __has_include(<gtest/gtest.h>)
#include <gtest/gtest.h>

inline ::testing::AssertionResult closeTo(std::uint32_t actual, std::uint32_t expected,
                                          int tolerance = 3) {
    if (colourDistance(actual, expected) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << hexColour(actual) << " is not within " << tolerance << " of " << hexColour(expected);
}

// Each test starts and ends with the default process-wide state.
class FreshAppStateTest : public ::testing::Test {
  protected:
    void SetUp() override { resetAppStateKeepingHandles(); }
    void TearDown() override { resetAppStateKeepingHandles(); }
};

struct Probe {
    int x;
    int y;
    std::uint32_t colour;
    int tolerance = 3;
};

inline void expectPixels(const Pixels& pixels, const std::vector<Probe>& probes) {
    for (const Probe& probe : probes) {
        EXPECT_TRUE(closeTo(pixels.at(probe.x, probe.y), probe.colour, probe.tolerance))
            << "at " << probe.x << "," << probe.y;
    }
}
#endif

// The real Driftpane.exe beside the test program, started as a user starts it; ended here
// should the test fail before it ends by itself.
struct StartedProcess {
    PROCESS_INFORMATION info{};
    bool started = false;

    StartedProcess() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring program(path);
        program.replace(program.find_last_of(L"\\/") + 1, std::wstring::npos, L"Driftpane.exe");
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info) != FALSE;
    }
    ~StartedProcess() {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    // Generous: only a hang waits this long, and the exit code then shows it.
    DWORD waitForExit() const {
        WaitForSingleObject(info.hProcess, 60000);
        DWORD code = 12345;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
};
