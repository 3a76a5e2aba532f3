// The import dialog and the help box driven as a user meets them: keys posted to the focused
// control and run through the program's own message loop, real files on disk, and drops
// built as the shell builds them.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "import/modal_window.h"
#include "tests/native/photo_bytes.h"
#include "tests/win/import_hook.h"
#include "tests/win/test_support.h"
#include "tests/win/upright_picture.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Paths = std::vector<std::wstring>;

// --- Files ---------------------------------------------------------------------------------

std::wstring longForm(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

void writeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << testing::PrintToString(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

// A file of that size holding zeros, without writing them.
void writeSizedFile(const std::wstring& path, LONGLONG size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(longForm(folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                DeleteFileW(longForm(path).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(longForm(folder).c_str());
}

Bytes solidPng(std::uint32_t argb) {
    Gdiplus::Bitmap bitmap(40, 30, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(argb));
    }
    return encodePng(bitmap);
}

// --- Hooks ---------------------------------------------------------------------------------

using CreateFileFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
using DriveTypeFunction = UINT(WINAPI*)(LPCWSTR);
using DragFinishFunction = void(WINAPI*)(HDROP);
using DragQueryFunction = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);

int filesOpened = 0;
ImportHook<CreateFileFunction>* createFileHook = nullptr;
HANDLE WINAPI countingCreateFile(LPCWSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile) {
    ++filesOpened;
    return createFileHook->original(name, access, share, security, disposition, flags,
                                    templateFile);
}

std::vector<std::wstring> drivesAsked;
UINT answeredDriveType = 0; // 0: ask Windows
ImportHook<DriveTypeFunction>* driveTypeHook = nullptr;
UINT WINAPI recordingDriveType(LPCWSTR root) {
    drivesAsked.push_back(root ? root : L"(null)");
    return answeredDriveType ? answeredDriveType : driveTypeHook->original(root);
}

std::vector<HDROP> dropsFinished;
ImportHook<DragFinishFunction>* dragFinishHook = nullptr;
void WINAPI recordingDragFinish(HDROP drop) {
    dropsFinished.push_back(drop);
    dragFinishHook->original(drop);
}

ImportHook<DragQueryFunction>* dragQueryHook = nullptr;
UINT WINAPI throwingDragQuery(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    if (index == 1) {
        throw std::bad_alloc(); // as a failed allocation of the second name would
    }
    return dragQueryHook->original(drop, index, buffer, size);
}

// --- Drops ---------------------------------------------------------------------------------

// What the shell hands over: a DROPFILES header and the wide names, each ended by a null and
// the list by one more, in one block of movable global memory.
HDROP makeDrop(const Paths& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path;
        names += L'\0';
    }
    names += L'\0';
    const std::size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// --- The windows ---------------------------------------------------------------------------

std::wstring textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// The messages one window received, recorded before its procedure saw them.
struct MessageLog {
    HWND window = nullptr;
    std::vector<std::pair<UINT, WPARAM>> messages;
    bool ownerEnabledAtDestroy = false;
};
MessageLog* messageLog = nullptr;

LRESULT CALLBACK recordMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && messageLog && call->hwnd == messageLog->window) {
        messageLog->messages.emplace_back(call->message, call->wParam);
        if (call->message == WM_DESTROY) {
            messageLog->ownerEnabledAtDestroy = IsWindowEnabled(appState.mainWindow) != FALSE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ModalWindowTest : public testing::Test {
  protected:
    void SetUp() override { start(1.0f); }

    void start(float scale) {
        resetAppStateKeepingHandles();
        appState.uiScale = scale;
        appState.uiFont.reset(createUiFont(scale));
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        registerWindowClasses();
        main = createMainWindow();
        ASSERT_NE(main, nullptr);
        ShowWindow(main, SW_SHOWNORMAL);
        UpdateWindow(main);
        runLoop();

        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"driftpane-import-" + std::to_wstring(GetTickCount64());
        CreateDirectoryW(folder.c_str(), nullptr);
        red = folder + L"\\red.png";
        blue = folder + L"\\blue.png";
        writeFile(red, solidPng(0xFFDC1E1E));
        writeFile(blue, solidPng(0xFF1E1EDC));
    }

    void TearDown() override {
        if (IsWindow(main)) {
            DestroyWindow(main);
        }
        runLoop();
        removeTree(folder);
        resetAppStateKeepingHandles();
    }

    // Everything queued goes through the program's own loop, dialog navigation included.
    static void runLoop() {
        PostQuitMessage(0);
        runMessageLoop();
    }
    // Keys arrive at the focused control, as the keyboard delivers them.
    static void key(WPARAM code, bool shift = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, code, 1);
        runLoop();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    static void type(const std::wstring& text) {
        HWND focus = GetFocus();
        for (wchar_t c : text) {
            PostMessageW(focus, WM_CHAR, c, 1);
        }
        runLoop();
    }
    void command(int id) { SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    HWND openImport() {
        SendMessageW(GetDlgItem(main, IDC_LOCAL_PHOTOS), BM_CLICK, 0, 0);
        runLoop();
        return appState.importDialog;
    }
    static HWND item(int id) { return GetDlgItem(appState.importDialog, id); }
    static std::wstring field(int id) { return textOf(item(id)); }
    static void fill(const std::wstring& first, const std::wstring& second,
                     const wchar_t* firstYear = L"1950", const wchar_t* secondYear = L"2020") {
        SetWindowTextW(item(IDC_FIRST_PATH), first.c_str());
        SetWindowTextW(item(IDC_SECOND_PATH), second.c_str());
        SetWindowTextW(item(IDC_FIRST_YEAR_EDIT), firstYear);
        SetWindowTextW(item(IDC_SECOND_YEAR_EDIT), secondYear);
    }
    // Presses "Import pair" with the mouse.
    static void pressImport() {
        SendMessageW(item(IDC_IMPORT), BM_CLICK, 0, 0);
        runLoop();
    }

    static std::uint32_t centreOf(const std::shared_ptr<ImageData>& image) {
        Gdiplus::Color colour;
        image->bitmap->GetPixel(INT(image->bitmap->GetWidth() / 2),
                                INT(image->bitmap->GetHeight() / 2), &colour);
        return colour.GetValue();
    }
    // The dialog closed after a successful import of red and blue with these years.
    void expectImported(std::int32_t firstYear, std::int32_t secondYear,
                        std::uint32_t first = 0xFFDC1E1E, std::uint32_t second = 0xFF1E1EDC) {
        EXPECT_EQ(appState.importDialog, nullptr);
        EXPECT_EQ(std::tuple(appState.firstYear, appState.secondYear, appState.caption,
                             appState.isLocalPair, appState.statusText, appState.statusIsError),
                  std::tuple(firstYear, secondYear, std::wstring(L"Local pair"), true,
                             std::wstring(localizedText(TextId::Ready)), false));
        ASSERT_TRUE(appState.firstImage && appState.secondImage);
        EXPECT_TRUE(closeTo(centreOf(appState.firstImage), first));
        EXPECT_TRUE(closeTo(centreOf(appState.secondImage), second));
        expectMainInFront();
    }
    // Still open with the message, the archive pair and the main status as they were.
    void expectRefused(TextId message) {
        ASSERT_NE(appState.importDialog, nullptr);
        EXPECT_EQ(field(IDC_IMPORT_MESSAGE), localizedText(message));
        EXPECT_EQ(std::tuple(appState.generation, appState.caption, appState.isLocalPair,
                             appState.statusText, appState.statusIsError),
                  std::tuple(1, std::wstring(L"Aral Sea"), false,
                             std::wstring(localizedText(TextId::Ready)), false));
        EXPECT_FALSE(IsWindowEnabled(main));
    }
    void expectMainInFront() {
        EXPECT_TRUE(IsWindowEnabled(main));
        EXPECT_EQ(GetForegroundWindow(), main);
        EXPECT_EQ(GetActiveWindow(), main);
    }

    HWND main = nullptr;
    std::wstring folder, red, blue;
};

struct ScaleCase {
    float scale;
    RECT firstPath, importButton, helpText; // client coordinates, pixels
};
const ScaleCase ScaleCases[] = {
    {1.0f, {24, 92, 654, 124}, {350, 426, 510, 464}, {22, 20, 682, 530}},
    {1.5f, {36, 138, 981, 186}, {525, 639, 765, 696}, {33, 30, 1023, 795}},
};

class ModalWindowScale : public ModalWindowTest, public testing::WithParamInterface<ScaleCase> {
    void SetUp() override { start(GetParam().scale); }
};

RECT childRect(HWND parent, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

auto asTuple(const RECT& r) {
    return std::tuple(r.left, r.top, r.right, r.bottom);
}

} // namespace

TEST_F(ModalWindowTest, ImportDialogOpensWithItsControlsInOrderAndTheMainWindowDisabled) {
    appState.languageIndex = 1; // texts are taken in the language of the moment of opening
    HWND dialog = openImport();
    ASSERT_NE(dialog, nullptr);
    appState.languageIndex = 0;
    EXPECT_EQ(textOf(dialog), TextTable[static_cast<int>(TextId::ImportTitle)][1]);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
    EXPECT_EQ(GetFocus(), item(IDC_FIRST_PATH));
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                   WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD),
              WS_CAPTION | WS_SYSMENU);
    const LONG exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | WS_EX_ACCEPTFILES;
    EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & exStyle, exStyle);

    auto german = [](TextId id) { return std::wstring(TextTable[static_cast<int>(id)][1]); };
    const std::vector<std::pair<int, std::wstring>> expected = {
        {0, german(TextId::DropHint)},   {0, german(TextId::FirstPhotoPath)},
        {IDC_FIRST_PATH, L""},           {0, german(TextId::SecondPhotoPath)},
        {IDC_SECOND_PATH, L""},          {0, german(TextId::FirstYear)},
        {IDC_FIRST_YEAR_EDIT, L"2000"},  {0, german(TextId::SecondYear)},
        {IDC_SECOND_YEAR_EDIT, L"2024"}, {0, german(TextId::FitNote)},
        {IDC_IMPORT_MESSAGE, L""},       {IDC_IMPORT, german(TextId::ImportPair)},
        {IDC_MODAL_CLOSE, german(TextId::Cancel)}};
    std::vector<std::pair<int, std::wstring>> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        found.emplace_back(GetDlgCtrlID(child), textOf(child));
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), appState.uiFont.get());
    }
    EXPECT_EQ(found, expected);
    for (auto [id, limit] : {std::pair{IDC_FIRST_PATH, 32760}, {IDC_SECOND_PATH, 32760},
                             {IDC_FIRST_YEAR_EDIT, 4}, {IDC_SECOND_YEAR_EDIT, 4}}) {
        EXPECT_EQ(SendMessageW(item(id), EM_GETLIMITTEXT, 0, 0), limit) << id;
    }
    EXPECT_TRUE(GetWindowLongW(item(IDC_FIRST_YEAR_EDIT), GWL_STYLE) & ES_NUMBER);

    // One modal window at a time: both buttons are ignored while it is open.
    command(IDC_LOCAL_PHOTOS);
    command(IDC_HELP);
    EXPECT_EQ(std::tuple(appState.importDialog, appState.helpWindow), std::tuple(dialog, nullptr));
    int modalWindows = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            *reinterpret_cast<int*>(count) += std::wstring(name) == ModalWindowClass;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&modalWindows));
    EXPECT_EQ(modalWindows, 1);
}

TEST_P(ModalWindowScale, BothModesOpenAtTheirScaledPlaceAndSize) {
    const ScaleCase& c = GetParam();
    RECT owner{};
    GetWindowRect(main, &owner);
    for (ModalKind kind : {ModalKind::ImportMode, ModalKind::HelpMode}) {
        const bool import = kind == ModalKind::ImportMode;
        command(import ? IDC_LOCAL_PHOTOS : IDC_HELP);
        HWND window = import ? appState.importDialog : appState.helpWindow;
        ASSERT_NE(window, nullptr);
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(asTuple(outer),
                  std::tuple(owner.left + scaledBy(100, c.scale), owner.top + scaledBy(60, c.scale),
                             owner.left + scaledBy(810, c.scale),
                             owner.top + scaledBy(import ? 580 : 695, c.scale)));
        if (import) {
            EXPECT_EQ(asTuple(childRect(window, IDC_FIRST_PATH)), asTuple(c.firstPath));
            EXPECT_EQ(asTuple(childRect(window, IDC_IMPORT)), asTuple(c.importButton));
        } else {
            EXPECT_EQ(asTuple(childRect(window, IDC_HELP_TEXT)), asTuple(c.helpText));
        }
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(IsWindow(window));
    }
}
INSTANTIATE_TEST_SUITE_P(ModalWindow, ModalWindowScale, testing::ValuesIn(ScaleCases));

TEST_F(ModalWindowTest, TypedPathsAndYearsImportWithEnterThroughTheMessageLoop) {
    ASSERT_NE(openImport(), nullptr);
    // Tab walks the tab stops in creation order and wraps; Shift+Tab walks back.
    std::vector<int> walk;
    for (int i = 0; i < 6; ++i) {
        key(VK_TAB);
        walk.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(walk, (std::vector<int>{IDC_SECOND_PATH, IDC_FIRST_YEAR_EDIT, IDC_SECOND_YEAR_EDIT,
                                      IDC_IMPORT, IDC_MODAL_CLOSE, IDC_FIRST_PATH}));
    key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), item(IDC_MODAL_CLOSE));
    key(VK_TAB);

    type(red);
    key(VK_TAB);
    type(L"\"" + blue + L"\""); // as "Copy as path" puts it
    key(VK_TAB);
    type(L"1950"); // the whole field was selected when the Tab arrived
    key(VK_TAB);
    type(L"20x20"); // the field takes digits only
    EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_FIRST_YEAR_EDIT),
                         field(IDC_SECOND_YEAR_EDIT)),
              std::tuple(red, std::wstring(L"1950"), std::wstring(L"2020")));
    key(VK_RETURN);
    expectImported(1950, 2020);
}

TEST_F(ModalWindowTest, EveryWayOfClosingEnablesTheMainWindowFirstAndOnlyImportImports) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, recordMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    struct CloseCase {
        const char* name;
        std::function<void()> close;
        bool imports;
    };
    const CloseCase cases[] = {
        {"Cancel clicked", [] { SendMessageW(item(IDC_MODAL_CLOSE), BM_CLICK, 0, 0); }, false},
        {"Escape", [] { key(VK_ESCAPE); }, false},
        {"close box", [] { SendMessageW(appState.importDialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
         false},
        {"Enter on Cancel",
         [] {
             for (int i = 0; i < 5; ++i) { // from the first path to Cancel
                 key(VK_TAB);
             }
             ASSERT_EQ(GetFocus(), item(IDC_MODAL_CLOSE));
             key(VK_RETURN);
         },
         false},
        {"Enter on Import pair",
         [] {
             for (int i = 0; i < 4; ++i) {
                 key(VK_TAB);
             }
             key(VK_RETURN);
         },
         true},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageLog log;
        messageLog = &log;
        ASSERT_NE((log.window = openImport()), nullptr);
        fill(red, blue);
        c.close();
        runLoop();
        messageLog = nullptr;
        EXPECT_FALSE(IsWindow(log.window));
        EXPECT_TRUE(log.ownerEnabledAtDestroy);
        EXPECT_EQ(appState.isLocalPair, c.imports);
        expectMainInFront();
        if (std::string(c.name) == "Enter on Cancel") {
            // The dialog navigation really sends IDOK for Enter on an owner-drawn "Cancel".
            EXPECT_NE(std::find(log.messages.begin(), log.messages.end(),
                                std::pair<UINT, WPARAM>{WM_COMMAND, IDOK}),
                      log.messages.end());
        }
    }
    UnhookWindowsHookEx(hook);
    expectImported(1950, 2020);
}

TEST_F(ModalWindowTest, HelpBoxShowsTheHelpTextIgnoresEnterAndClosesWithEscapeOrCancel) {
    command(IDC_HELP);
    HWND help = appState.helpWindow;
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(textOf(help), L"Driftpane 1.0");
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(GetFocus(), GetDlgItem(help, IDC_MODAL_CLOSE));
    HWND text = GetDlgItem(help, IDC_HELP_TEXT);
    EXPECT_EQ(GetWindowLongW(text, GWL_STYLE) & (ES_READONLY | ES_MULTILINE | WS_VSCROLL),
              ES_READONLY | ES_MULTILINE | WS_VSCROLL);
    EXPECT_EQ(GetWindowLongW(help, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    // The paragraphs are apart on screen: the edit control breaks lines only at CR LF.
    std::wstring shown = textOf(text), paragraphs;
    for (wchar_t c : shown) {
        if (c != L'\r') {
            paragraphs += c;
        }
    }
    EXPECT_EQ(paragraphs, localizedText(TextId::HelpText));
    EXPECT_EQ(shown.find(L"\n\n"), std::wstring::npos);
    EXPECT_GT(SendMessageW(text, EM_GETLINECOUNT, 0, 0), 15);

    key(VK_RETURN);
    command(IDC_LOCAL_PHOTOS); // a request that still arrives is ignored
    EXPECT_EQ(std::tuple(appState.helpWindow, appState.importDialog), std::tuple(help, nullptr));
    key(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(help));
    EXPECT_EQ(appState.helpWindow, nullptr);
    expectMainInFront();

    command(IDC_HELP);
    SendMessageW(GetDlgItem(appState.helpWindow, IDC_MODAL_CLOSE), BM_CLICK, 0, 0);
    EXPECT_EQ(appState.helpWindow, nullptr);
    EXPECT_EQ(appState.generation, 1);
}

TEST_F(ModalWindowTest, YearsOutsideTheRangeOrEqualAreRefusedAndTheInputKept) {
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"1799", L"2000", false}, {L"2000", L"2201", false}, {L"", L"2000", false},
        {L"2000", L"", false},     {L"2000", L"2000", false}, {L"12a4", L"2000", false},
        {L"0", L"1", false},       {L"1800", L"2200", true},
    };
    ASSERT_NE(openImport(), nullptr);
    for (const auto& [first, second, accepted] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(first) + L"/" + second));
        fill(red, blue, first, second); // pasted: the digits-only rule does not stop a paste
        pressImport();
        if (accepted) {
            expectImported(1800, 2200);
            break;
        }
        expectRefused(TextId::InvalidYears);
        EXPECT_EQ(std::tuple(field(IDC_FIRST_YEAR_EDIT), field(IDC_SECOND_YEAR_EDIT),
                             field(IDC_FIRST_PATH)),
                  std::tuple(std::wstring(first), std::wstring(second), red));
    }
}

TEST_F(ModalWindowTest, PathsNotOnALocalDriveAreRefusedBeforeAnyFileIsOpened) {
    ImportHook<CreateFileFunction> opens(L"kernel32.dll", "CreateFileW", &countingCreateFile);
    ImportHook<DriveTypeFunction> drives(L"kernel32.dll", "GetDriveTypeW", &recordingDriveType);
    createFileHook = &opens;
    driveTypeHook = &drives;
    ASSERT_TRUE(opens.installed() && drives.installed());
    // Relative names that would find a real photo if they were opened.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(folder.c_str());
    const std::wstring refused[] = {
        L" " + red, L"C:", L"C:\\", L"red.png", L".\\red.png", L"C" + red.substr(1, 1) + L"red.png",
        L"\\\\server\\share\\x.jpg", L"\\\\?\\" + red, red + L":stream", L"\u00C7" + red.substr(1),
        L"",
    };
    ASSERT_NE(openImport(), nullptr);
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(testing::PrintToString(path));
        for (bool first : {true, false}) {
            filesOpened = 0;
            fill(first ? path : red, first ? blue : path);
            pressImport();
            expectRefused(TextId::CannotReadPhotos);
            EXPECT_EQ(filesOpened, 0);
        }
    }
    // A network drive is refused on the system's word; the root is asked with a backslash
    // even for a path written with slashes.
    answeredDriveType = DRIVE_REMOTE;
    drivesAsked.clear();
    filesOpened = 0;
    std::wstring slashed = red;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    fill(slashed, blue);
    pressImport();
    expectRefused(TextId::CannotReadPhotos);
    EXPECT_EQ(filesOpened, 0);
    ASSERT_FALSE(drivesAsked.empty());
    EXPECT_EQ(drivesAsked.front(), red.substr(0, 1) + L":\\");
    answeredDriveType = 0;
    pressImport();
    EXPECT_GT(filesOpened, 0);
    SetCurrentDirectoryW(current);
    createFileHook = nullptr;
    driveTypeHook = nullptr;
    expectImported(1950, 2020);
}

TEST_F(ModalWindowTest, UnicodeLongQuotedAndRepeatedPathsImport) {
    std::wstring deep = folder;
    while (deep.size() < 300) {
        deep += L"\\a-long-folder-name-to-pass-the-classic-limit";
        CreateDirectoryW(longForm(deep).c_str(), nullptr);
    }
    const std::wstring longPath = deep + L"\\blue.png";
    const std::wstring unicode = folder + L"\\Caf\u00E9 \u6771\u4EAC \U0001F30D.png";
    writeFile(longPath, solidPng(0xFF1E1EDC));
    writeFile(unicode, solidPng(0xFFDC1E1E));
    ASSERT_GT(longPath.size(), 300u);
    const std::tuple<std::wstring, std::wstring, std::uint32_t> cases[] = {
        {unicode, longPath, 0xFF1E1EDC},
        {L"\"" + red + L"\"", L"\"" + blue + L"\"", 0xFF1E1EDC},
        {red, red, 0xFFDC1E1E}, // one file, two years
    };
    for (const auto& [first, second, secondColour] : cases) {
        SCOPED_TRACE(testing::PrintToString(first + L" | " + second));
        ASSERT_NE(openImport(), nullptr);
        fill(first, second);
        pressImport();
        expectImported(1950, 2020, 0xFFDC1E1E, secondColour);
    }
}

TEST_F(ModalWindowTest, FilesThatAreNoAcceptedPhotoLeaveThePairUnchanged) {
    Gdiplus::Bitmap indexed(20, 20, PixelFormat8bppIndexed);
    const std::pair<const wchar_t*, Bytes> files[] = {
        {L"corners.gif", readTestFile("corners.gif")},
        {L"corners.tif", readTestFile("corners.tif")},
        {L"gdiplus.gif", encodeImage(indexed, L"image/gif")},
        {L"empty.jpg", {}},
        {L"81-megapixels.jpg", flatGreyJpeg(10125, 8000)},
        {L"not-a-photo.jpg", Bytes(5000, 0x5A)},
    };
    std::vector<std::wstring> refused = {folder, folder + L"\\missing.png",
                                         folder + L"\\over-40-MiB.jpg"};
    writeSizedFile(refused.back(), 41943041);
    for (const auto& [name, bytes] : files) {
        refused.push_back(folder + L"\\" + name);
        writeFile(refused.back(), bytes);
    }
    ASSERT_NE(openImport(), nullptr);
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(testing::PrintToString(path));
        fill(red, path);
        pressImport();
        expectRefused(TextId::CannotReadPhotos);
        EXPECT_EQ(field(IDC_SECOND_PATH), path);
    }
}

TEST_F(ModalWindowTest, PhoneJpegsOfEveryOrientationComeOutUpright) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::wstring path = folder + L"\\phone-" + std::to_wstring(orientation) + L".jpg";
        writeFile(path, withSegmentAfterSoi(encodeImage(*storedPicture(orientation), L"image/jpeg"),
                                            orientationApp1(std::uint16_t(orientation), false)));
        ASSERT_NE(openImport(), nullptr);
        fill(path, path);
        pressImport();
        ASSERT_TRUE(appState.isLocalPair);
        Pixels pixels = bitmapPixels(*appState.firstImage->bitmap);
        ASSERT_EQ(std::tuple(pixels.width, pixels.height),
                  std::tuple(int(UprightWidth), int(UprightHeight)));
        for (UINT y : {UprightHeight / 4, UprightHeight * 3 / 4}) {
            for (UINT x : {UprightWidth / 4, UprightWidth * 3 / 4}) {
                const Rgb c = uprightColour(x, y);
                const std::uint32_t expected = 0xFF000000u | std::uint32_t(c.red) << 16 |
                                               std::uint32_t(c.green) << 8 | std::uint32_t(c.blue);
                EXPECT_TRUE(closeTo(pixels.at(int(x), int(y)), expected, JpegTolerance))
                    << x << "," << y;
            }
        }
    }
    // Written by exiftool: 32 x 16 stored, quadrants red, green / blue, yellow, tag 6.
    const std::wstring exiftool = folder + L"\\exiftool.jpg";
    writeFile(exiftool, readTestFile("orientation6_exiftool.jpg"));
    ASSERT_NE(openImport(), nullptr);
    fill(exiftool, red);
    pressImport();
    ASSERT_TRUE(appState.firstImage);
    const Pixels turned = bitmapPixels(*appState.firstImage->bitmap);
    ASSERT_EQ(std::tuple(turned.width, turned.height), std::tuple(16, 32));
    expectPixels(turned, {{4, 8, 0xFF1E1EDC, JpegTolerance},
                          {12, 8, 0xFFDC1E1E, JpegTolerance},
                          {4, 24, 0xFFE6E628, JpegTolerance},
                          {12, 24, 0xFF1EC81E, JpegTolerance}});
}

TEST_F(ModalWindowTest, DropsFillTheDialogAndAreReleasedInEveryCase) {
    ImportHook<DragFinishFunction> finish(L"shell32.dll", "DragFinish", &recordingDragFinish);
    dragFinishHook = &finish;
    ASSERT_TRUE(finish.installed());
    auto drop = [&](HWND window, const Paths& paths) {
        dropsFinished.clear();
        HDROP handle = makeDrop(paths);
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
        runLoop();
        EXPECT_EQ(dropsFinished, std::vector<HDROP>{handle});
    };
    auto expectStatus = [](TextId id, bool isError) {
        EXPECT_EQ(std::tuple(appState.statusText, appState.statusIsError),
                  std::tuple(std::wstring(localizedText(id)), isError));
    };

    // One or three files on the main window: reported there, nothing opened.
    for (const Paths& paths : {Paths{red}, Paths{red, blue, red}}) {
        setStatus(TextId::Ready, false);
        drop(main, paths);
        expectStatus(TextId::CannotReadPhotos, true);
        EXPECT_EQ(appState.importDialog, nullptr);
    }
    // Two folders or files, in the drop's order, without quotes; nothing imported yet.
    setStatus(TextId::Ready, false);
    drop(main, {blue, folder});
    HWND dialog = appState.importDialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH),
                         field(IDC_FIRST_YEAR_EDIT), field(IDC_SECOND_YEAR_EDIT),
                         field(IDC_IMPORT_MESSAGE)),
              std::tuple(blue, folder, std::wstring(L"2000"), std::wstring(L"2024"),
                         std::wstring()));
    EXPECT_EQ(std::tuple(appState.generation, GetForegroundWindow()), std::tuple(1, dialog));
    expectStatus(TextId::Ready, false);

    // On the open dialog: the paths are replaced, the typed years and the message stay.
    pressImport();
    SetWindowTextW(item(IDC_FIRST_YEAR_EDIT), L"1971");
    drop(dialog, {red, blue});
    EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH),
                         field(IDC_FIRST_YEAR_EDIT), field(IDC_IMPORT_MESSAGE)),
              std::tuple(red, blue, std::wstring(L"1971"),
                         std::wstring(localizedText(TextId::CannotReadPhotos))));
    // A wrong count on the dialog is reported in the main status line; the dialog keeps all.
    for (const Paths& paths : {Paths{blue}, Paths{blue, red, blue}}) {
        drop(dialog, paths);
        expectStatus(TextId::CannotReadPhotos, true);
        EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH)), std::tuple(red, blue));
    }
    key(VK_RETURN);
    expectImported(1971, 2024);

    // With the help box open the paths are dropped without a word.
    command(IDC_HELP);
    ASSERT_NE(appState.helpWindow, nullptr);
    drop(main, {red, blue});
    EXPECT_EQ(appState.importDialog, nullptr);
    expectStatus(TextId::Ready, false);
    dragFinishHook = nullptr;
}

TEST_F(ModalWindowTest, ADropWhoseReadingThrowsIsStillReleased) {
    ImportHook<DragFinishFunction> finish(L"shell32.dll", "DragFinish", &recordingDragFinish);
    ImportHook<DragQueryFunction> query(L"shell32.dll", "DragQueryFileW", &throwingDragQuery);
    dragFinishHook = &finish;
    dragQueryHook = &query;
    ASSERT_TRUE(finish.installed() && query.installed());
    dropsFinished.clear();
    HDROP handle = makeDrop({red, blue});
    SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
    EXPECT_EQ(dropsFinished, std::vector<HDROP>{handle});
    EXPECT_EQ(appState.statusText, localizedText(TextId::CannotReadPhotos)); // the main guard
    dragFinishHook = nullptr;
    dragQueryHook = nullptr;
}

TEST_F(ModalWindowTest, GuardColoursAndButtonsOfTheModalWindow) {
    WNDCLASSW registered{};
    ASSERT_TRUE(GetClassInfoW(appState.instanceHandle, ModalWindowClass, &registered));
    EXPECT_EQ(registered.lpfnWndProc, &guardedModalWindowProc);
    HWND dialog = openImport();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(callModalGuarded(dialog, []() -> LRESULT { throw std::bad_alloc(); }), 0);
    EXPECT_EQ(field(IDC_IMPORT_MESSAGE), localizedText(TextId::CannotReadPhotos));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(callModalGuarded(dialog, []() -> LRESULT { return 7; }), 7);

    // Statics and edits on paper with ink; the buttons drawn as the main window's are.
    HDC dc = GetDC(item(IDC_FIRST_PATH));
    SetBkColor(dc, 0);
    const auto brush = SendMessageW(dialog, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(item(IDC_FIRST_PATH)));
    EXPECT_EQ(std::tuple(GetBkColor(dc), GetTextColor(dc)),
              std::tuple(COLORREF{0xE8F0F4}, COLORREF{0x302F26}));
    ReleaseDC(item(IDC_FIRST_PATH), dc);
    ASSERT_NE(appState.modalBrush, nullptr);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(appState.modalBrush.get()));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    runLoop();
    const Pixels shot = captureClient(dialog);
    const RECT importButton = childRect(dialog, IDC_IMPORT);
    const RECT cancel = childRect(dialog, IDC_MODAL_CLOSE);
    const RECT path = childRect(dialog, IDC_FIRST_PATH);
    expectPixels(shot, {{importButton.left + 2, importButton.top + 2, Palette::Accent},
                        {cancel.left + 2, cancel.top + 2, WindowColour::Panel},
                        {path.left + 60, path.top + 8, Palette::Paper},
                        {5, 5, Palette::Paper}});
}
