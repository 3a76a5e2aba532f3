// The import dialog and the help box driven as a user meets them: keys posted to the focused
// control and run through the program's own message loop, real files on disk, and drops
// built as the shell builds them.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/controls.h"
#include "app/layout.h"
#include "archive/photo_limits.h"
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
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Paths = std::vector<std::wstring>;

// Files are written and removed through the long form, so no length limit applies.
void writeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << testing::PrintToString(path);
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileW((L"\\\\?\\" + path).c_str());
        } else if (name != L"." && name != L"..") {
            removeTree(path);
        }
    }
    FindClose(search);
    RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

Bytes solidPng(std::uint32_t argb) {
    Gdiplus::Bitmap bitmap(40, 30, PixelFormat32bppARGB);
    Gdiplus::Graphics(&bitmap).Clear(Gdiplus::Color(argb));
    return encodePng(bitmap);
}
constexpr std::uint32_t Red = 0xFFDC1E1E, Blue = 0xFF1E1EDC;

// Hooks on the program's calls: files opened, drive types asked (and answered, when
// driveAnswer is set), drops released, and a name query that fails as memory can.
using CreateFileFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
using DriveTypeFunction = UINT(WINAPI*)(LPCWSTR);
using DragFinishFunction = void(WINAPI*)(HDROP);
using DragQueryFunction = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
int filesOpened = 0;
std::vector<std::wstring> drivesAsked;
UINT driveAnswer = 0;
std::vector<HDROP> dropsFinished;

HANDLE WINAPI countingCreateFile(LPCWSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile) {
    ++filesOpened;
    return ImportHook<CreateFileFunction>::original(name, access, share, security, disposition,
                                                    flags, templateFile);
}
UINT WINAPI recordingDriveType(LPCWSTR root) {
    drivesAsked.push_back(root);
    return driveAnswer ? driveAnswer : ImportHook<DriveTypeFunction>::original(root);
}
void WINAPI recordingDragFinish(HDROP drop) {
    dropsFinished.push_back(drop);
    ImportHook<DragFinishFunction>::original(drop);
}
UINT WINAPI throwingDragQuery(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    if (index == 1) {
        throw std::bad_alloc();
    }
    return ImportHook<DragQueryFunction>::original(drop, index, buffer, size);
}

// What the shell hands over: a DROPFILES header and the wide names, each ended by a null and
// the list by one more, in one block of movable global memory.
HDROP makeDrop(const Paths& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path + L'\0';
    }
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

RECT childRect(HWND parent, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

auto asTuple(const RECT& r) {
    return std::tuple(r.left, r.top, r.right, r.bottom);
}

// What one window received, recorded before its procedure saw it.
struct MessageLog {
    HWND window = nullptr;
    std::vector<std::pair<UINT, WPARAM>> messages;
    bool ownerEnabledAtDestroy = false;
} messageLog;

LRESULT CALLBACK recordMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == messageLog.window) {
        messageLog.messages.emplace_back(call->message, call->wParam);
        if (call->message == WM_DESTROY) {
            messageLog.ownerEnabledAtDestroy = IsWindowEnabled(appState.mainWindow) != FALSE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ModalWindowTest : public testing::Test {
  protected:
    void SetUp() override { start(1.0f); }
    void start(float scale) {
        resetAppStateKeepingHandles();
        ASSERT_NE((main = createMainWindowAt(scale)), nullptr);
        ShowWindow(main, SW_SHOWNORMAL);
        runLoop();
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = temp + (L"driftpane-import-" + std::to_wstring(GetTickCount64()));
        CreateDirectoryW(folder.c_str(), nullptr);
        writeFile(red = folder + L"\\red.png", solidPng(Red));
        writeFile(blue = folder + L"\\blue.png", solidPng(Blue));
    }
    void TearDown() override {
        DestroyWindow(main);
        runLoop();
        removeTree(folder);
        resetAppStateKeepingHandles();
    }

    // Everything queued goes through the program's own loop, dialog navigation included.
    static void runLoop() {
        PostQuitMessage(0);
        runMessageLoop();
    }
    // Keys and characters arrive at the focused control, as the keyboard delivers them.
    static void key(WPARAM code, bool shift = false, bool control = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, code, 1);
        runLoop();
        keys[VK_SHIFT] = 0;
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    static void type(const std::wstring& text) {
        for (wchar_t c : text) {
            PostMessageW(GetFocus(), WM_CHAR, c, 1);
        }
        runLoop();
    }
    void command(int id) { SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    static void click(HWND button) {
        SendMessageW(button, BM_CLICK, 0, 0);
        runLoop();
    }
    HWND openImport() {
        click(GetDlgItem(main, IDC_LOCAL_PHOTOS));
        return appState.importDialog;
    }
    static HWND item(int id) { return GetDlgItem(appState.importDialog, id); }
    static std::wstring field(int id) { return readControlText(item(id)); }
    // Fields filled as a paste would; importWith then clicks "Import pair".
    static void fill(const std::wstring& first, const std::wstring& second,
                     const wchar_t* firstYear = L"1950", const wchar_t* secondYear = L"2020") {
        SetWindowTextW(item(IDC_FIRST_PATH), first.c_str());
        SetWindowTextW(item(IDC_SECOND_PATH), second.c_str());
        SetWindowTextW(item(IDC_FIRST_YEAR_EDIT), firstYear);
        SetWindowTextW(item(IDC_SECOND_YEAR_EDIT), secondYear);
    }
    static void importWith(const std::wstring& first, const std::wstring& second,
                           const wchar_t* firstYear = L"1950",
                           const wchar_t* secondYear = L"2020") {
        fill(first, second, firstYear, secondYear);
        click(item(IDC_IMPORT));
    }

    static std::uint32_t centreOf(const std::shared_ptr<ImageData>& image) {
        Gdiplus::Color colour;
        image->bitmap->GetPixel(INT(image->bitmap->GetWidth() / 2),
                                INT(image->bitmap->GetHeight() / 2), &colour);
        return colour.GetValue();
    }
    // The dialog closed after a successful import of these photos and years.
    void expectImported(std::int32_t firstYear, std::int32_t secondYear, std::uint32_t first = Red,
                        std::uint32_t second = Blue) {
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
    // Still open with the message; the archive pair and the main status as they were.
    void expectRefused(TextId message) {
        ASSERT_NE(appState.importDialog, nullptr);
        EXPECT_EQ(field(IDC_IMPORT_MESSAGE), localizedText(message));
        EXPECT_EQ(std::tuple(appState.generation, appState.isLocalPair, appState.statusText,
                             appState.statusIsError, IsWindowEnabled(main)),
                  std::tuple(1, false, std::wstring(localizedText(TextId::Ready)), false, FALSE));
    }
    void expectMainInFront() {
        EXPECT_EQ(
            std::tuple(IsWindowEnabled(main) != FALSE, GetForegroundWindow(), GetActiveWindow()),
            std::tuple(true, main, main));
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

// A DPI change of 144 while a modal window is open, announced to the main window or to the
// modal window itself (moved to a monitor of that scale).
struct DpiCase {
    bool import;
    bool toModal;
};
const DpiCase DpiCases[] = {{true, false}, {false, false}, {true, true}, {false, true}};

class ModalWindowDpi : public ModalWindowTest, public testing::WithParamInterface<DpiCase> {};

} // namespace

TEST_F(ModalWindowTest, ImportDialogOpensWithItsControlsInOrderAndTheMainWindowDisabled) {
    appState.languageIndex = 1; // texts are taken in the language of the moment of opening
    HWND dialog = openImport();
    ASSERT_NE(dialog, nullptr);
    appState.languageIndex = 0;
    auto german = [](TextId id) { return std::wstring(TextTable[static_cast<int>(id)][1]); };
    EXPECT_EQ(readControlText(dialog), german(TextId::ImportTitle));
    EXPECT_EQ(std::tuple(IsWindowEnabled(main), GetWindow(dialog, GW_OWNER), GetFocus()),
              std::tuple(FALSE, main, item(IDC_FIRST_PATH)));
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                   WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD),
              WS_CAPTION | WS_SYSMENU);
    const LONG exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | WS_EX_ACCEPTFILES;
    EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & exStyle, exStyle);

    const std::vector<std::pair<int, std::wstring>> expected = {
        {0, german(TextId::DropHint)},
        {0, german(TextId::FirstPhotoPath)},
        {IDC_FIRST_PATH, L""},
        {0, german(TextId::SecondPhotoPath)},
        {IDC_SECOND_PATH, L""},
        {0, german(TextId::FirstYear)},
        {IDC_FIRST_YEAR_EDIT, L"2000"},
        {0, german(TextId::SecondYear)},
        {IDC_SECOND_YEAR_EDIT, L"2024"},
        {0, german(TextId::FitNote)},
        {IDC_IMPORT_MESSAGE, L""},
        {IDC_IMPORT, german(TextId::ImportPair)},
        {IDC_MODAL_CLOSE, german(TextId::Cancel)}};
    std::vector<std::pair<int, std::wstring>> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        found.emplace_back(GetDlgCtrlID(child), readControlText(child));
        EXPECT_EQ(SendMessageW(child, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(appState.uiFont.get()));
    }
    EXPECT_EQ(found, expected);
    for (auto [id, limit] : {std::pair{IDC_FIRST_PATH, 32760},
                             {IDC_SECOND_PATH, 32760},
                             {IDC_FIRST_YEAR_EDIT, 4},
                             {IDC_SECOND_YEAR_EDIT, 4}}) {
        EXPECT_EQ(SendMessageW(item(id), EM_GETLIMITTEXT, 0, 0), limit) << id;
    }

    // One modal window at a time: both requests are ignored while it is open.
    command(IDC_LOCAL_PHOTOS);
    command(IDC_HELP);
    EXPECT_EQ(std::tuple(appState.importDialog, appState.helpWindow), std::tuple(dialog, nullptr));
    EXPECT_EQ(FindWindowExW(nullptr, dialog, ModalWindowClass, nullptr), nullptr);
    EXPECT_EQ(FindWindowW(ModalWindowClass, nullptr), dialog);
}

TEST_P(ModalWindowScale, BothModesOpenAtTheirScaledPlaceAndSize) {
    const ScaleCase& c = GetParam();
    RECT owner{};
    GetWindowRect(main, &owner);
    for (const bool import : {true, false}) {
        command(import ? IDC_LOCAL_PHOTOS : IDC_HELP);
        HWND window = import ? appState.importDialog : appState.helpWindow;
        ASSERT_NE(window, nullptr);
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(asTuple(outer),
                  std::tuple(owner.left + scaledBy(100, c.scale), owner.top + scaledBy(60, c.scale),
                             owner.left + scaledBy(810, c.scale),
                             owner.top + scaledBy(import ? 580 : 695, c.scale)));
        EXPECT_EQ(asTuple(childRect(window, import ? IDC_FIRST_PATH : IDC_HELP_TEXT)),
                  asTuple(import ? c.firstPath : c.helpText));
        if (import) {
            EXPECT_EQ(asTuple(childRect(window, IDC_IMPORT)), asTuple(c.importButton));
        }
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(IsWindow(window));
    }
}
INSTANTIATE_TEST_SUITE_P(ModalWindow, ModalWindowScale, testing::ValuesIn(ScaleCases));

TEST_P(ModalWindowDpi, ControlsFollowTheNewScaleWithALiveFontOfItsSize) {
    const auto [import, toModal] = GetParam();
    command(import ? IDC_LOCAL_PHOTOS : IDC_HELP);
    HWND modal = import ? appState.importDialog : appState.helpWindow;
    ASSERT_NE(modal, nullptr);
    HWND receiver = toModal ? modal : main;
    RECT suggested{};
    GetWindowRect(receiver, &suggested);
    suggested.right = suggested.left + (toModal ? 1065 : 1700);
    suggested.bottom = suggested.top + (toModal ? (import ? 780 : 953) : 1150);
    SendMessageW(receiver, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    runLoop();

    EXPECT_FLOAT_EQ(appState.uiScale, 1.5f);
    RECT outer{};
    GetWindowRect(receiver, &outer);
    EXPECT_EQ(asTuple(outer), asTuple(suggested));
    const ScaleCase& scaled = ScaleCases[1];
    if (import) {
        EXPECT_EQ(asTuple(childRect(modal, IDC_FIRST_PATH)), asTuple(scaled.firstPath));
        EXPECT_EQ(asTuple(childRect(modal, IDC_IMPORT)), asTuple(scaled.importButton));
    } else {
        EXPECT_EQ(asTuple(childRect(modal, IDC_HELP_TEXT)), asTuple(scaled.helpText));
    }
    // Every control of both windows holds a font that still exists, of the new scale's size.
    const UniqueFont reference(createUiFont(1.5f));
    LOGFONTW wanted{};
    GetObjectW(reference.get(), sizeof(wanted), &wanted);
    for (HWND window : {modal, main}) {
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (window == main && GetDlgCtrlID(child) == IDC_COMPARISON) {
                continue; // the slider shows no text
            }
            const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
            LOGFONTW held{};
            EXPECT_EQ(GetObjectType(font), DWORD{OBJ_FONT}) << GetDlgCtrlID(child);
            GetObjectW(font, sizeof(held), &held);
            EXPECT_EQ(std::tuple(font, held.lfHeight),
                      std::tuple(appState.uiFont.get(), wanted.lfHeight))
                << GetDlgCtrlID(child);
        }
    }
}
INSTANTIATE_TEST_SUITE_P(ModalWindow, ModalWindowDpi, testing::ValuesIn(DpiCases),
                         [](const testing::TestParamInfo<DpiCase>& dpiCase) {
                             return std::string(dpiCase.param.import ? "Import" : "Help") +
                                    (dpiCase.param.toModal ? "Moved" : "WithMainWindow");
                         });

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
    EXPECT_EQ(
        std::tuple(field(IDC_FIRST_PATH), field(IDC_FIRST_YEAR_EDIT), field(IDC_SECOND_YEAR_EDIT)),
        std::tuple(red, std::wstring(L"1950"), std::wstring(L"2020")));
    key(VK_RETURN);
    expectImported(1950, 2020);
}

TEST_F(ModalWindowTest, EveryWayOfClosingEnablesTheMainWindowFirstAndOnlyImportImports) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, recordMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    auto tabs = [](int count) {
        for (int i = 0; i < count; ++i) {
            key(VK_TAB);
        }
    };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Cancel clicked", [] { click(item(IDC_MODAL_CLOSE)); }},
        {"Escape", [] { key(VK_ESCAPE); }},
        {"close box", [] { SendMessageW(appState.importDialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Enter on Cancel",
         [&] {
             tabs(5);
             key(VK_RETURN);
         }}, // from the first path
        {"Enter on Import pair",
         [&] {
             tabs(4);
             key(VK_RETURN);
         }},
    };
    for (const auto& [name, close] : cases) {
        SCOPED_TRACE(name);
        messageLog = MessageLog{};
        ASSERT_NE((messageLog.window = openImport()), nullptr);
        fill(red, blue);
        close();
        EXPECT_FALSE(IsWindow(messageLog.window));
        EXPECT_TRUE(messageLog.ownerEnabledAtDestroy);
        expectMainInFront();
        if (name == std::string("Enter on Cancel")) {
            // The dialog navigation really sends IDOK for Enter on an owner-drawn "Cancel".
            const std::pair<UINT, WPARAM> ok{WM_COMMAND, IDOK};
            EXPECT_NE(std::find(messageLog.messages.begin(), messageLog.messages.end(), ok),
                      messageLog.messages.end());
        }
        EXPECT_EQ(appState.isLocalPair, name == std::string("Enter on Import pair"));
    }
    messageLog = MessageLog{};
    UnhookWindowsHookEx(hook);
}

TEST_F(ModalWindowTest, HelpBoxShowsTheHelpTextIgnoresEnterAndClosesWithEscapeOrCancel) {
    command(IDC_HELP);
    HWND help = appState.helpWindow;
    ASSERT_NE(help, nullptr);
    HWND text = GetDlgItem(help, IDC_HELP_TEXT);
    EXPECT_EQ(std::tuple(readControlText(help), IsWindowEnabled(main), GetFocus()),
              std::tuple(std::wstring(L"Driftpane 1.0"), FALSE, GetDlgItem(help, IDC_MODAL_CLOSE)));
    EXPECT_EQ(GetWindowLongW(text, GWL_STYLE) & (ES_READONLY | ES_MULTILINE | WS_VSCROLL),
              ES_READONLY | ES_MULTILINE | WS_VSCROLL);
    EXPECT_EQ(GetWindowLongW(help, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    // The paragraphs stand apart on screen: the edit control breaks lines only at CR LF.
    const std::wstring shown = readControlText(text);
    std::wstring paragraphs;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(paragraphs),
                 [](wchar_t c) { return c != L'\r'; });
    EXPECT_EQ(paragraphs, localizedText(TextId::HelpText));
    EXPECT_EQ(shown.find(L"\n\n"), std::wstring::npos);
    // The second paragraph begins on the third line, after the title and an empty line.
    const WPARAM second = shown.find(L"\r\n\r\n") + 4;
    EXPECT_EQ(SendMessageW(text, EM_LINEFROMCHAR, second, 0), 2);

    key(VK_RETURN);
    command(IDC_LOCAL_PHOTOS); // a request that still arrives is ignored
    EXPECT_EQ(std::tuple(appState.helpWindow, appState.importDialog), std::tuple(help, nullptr));
    key(VK_ESCAPE);
    EXPECT_EQ(std::tuple(IsWindow(help), appState.helpWindow), std::tuple(FALSE, nullptr));
    expectMainInFront();
    command(IDC_HELP);
    click(GetDlgItem(appState.helpWindow, IDC_MODAL_CLOSE));
    EXPECT_EQ(std::tuple(appState.helpWindow, appState.generation), std::tuple(nullptr, 1));
    expectMainInFront();
}

TEST_F(ModalWindowTest, KeyboardAndReaderMeetADialogTheHelpTextAndTheOpenerAgainOnClosing) {
    const auto readRoleAndName = [](HWND window) {
        IAccessible* raw = nullptr;
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                   reinterpret_cast<void**>(&raw));
        const ComPtr<IAccessible> object(raw);
        VARIANT self{};
        self.vt = VT_I4;
        ScopedVariant role;
        BSTR name = nullptr;
        if (object) {
            object->get_accRole(self, role.out());
            object->get_accName(self, &name);
        }
        const UniqueBstr held(name);
        return std::tuple(role->vt == VT_I4 ? role->lVal : -1, std::wstring(name ? name : L""));
    };
    const struct {
        int opener;
        std::wstring title;
        int tabbedTo; // from where the window puts the focus on opening
    } cases[] = {
        {IDC_HELP, L"Driftpane 1.0", IDC_HELP_TEXT},
        {IDC_LOCAL_PHOTOS, localizedText(TextId::ImportTitle), IDC_SECOND_PATH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opener);
        SetFocus(GetDlgItem(main, c.opener));
        click(GetDlgItem(main, c.opener));
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, main);
        EXPECT_EQ(readRoleAndName(dialog), std::tuple(LONG{ROLE_SYSTEM_DIALOG}, c.title));
        key(VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.tabbedTo);
        if (c.opener == IDC_HELP) {
            // Read as its text, and scrolled by the page keys.
            HWND text = GetFocus();
            EXPECT_EQ(readRoleAndName(text),
                      std::tuple(LONG{ROLE_SYSTEM_TEXT}, readControlText(text)));
            // Made shorter than its text, as a larger font or a longer language makes it.
            SetWindowPos(text, nullptr, 0, 0, 300, 80, SWP_NOMOVE | SWP_NOZORDER);
            key(VK_HOME, false, true);
            key(VK_NEXT);
            EXPECT_GT(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
            key(VK_TAB);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_MODAL_CLOSE);
        }
        key(VK_ESCAPE);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(GetFocus(), GetDlgItem(main, c.opener));
    }
}

TEST_F(ModalWindowTest, YearsOutsideTheRangeOrEqualAreRefusedAndTheInputKept) {
    const std::pair<const wchar_t*, const wchar_t*> refused[] = {
        {L"1799", L"2000"}, {L"2000", L"2201"}, {L"", L"2000"}, {L"2000", L""},
        {L"2000", L"2000"}, {L"12a4", L"2000"}, {L"0", L"1"}};
    ASSERT_NE(openImport(), nullptr);
    for (const auto& [first, second] : refused) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(first) + L"/" + second));
        importWith(red, blue, first, second); // a paste gets past the digits-only rule
        expectRefused(TextId::InvalidYears);
        EXPECT_EQ(std::tuple(field(IDC_FIRST_YEAR_EDIT), field(IDC_SECOND_YEAR_EDIT),
                             field(IDC_FIRST_PATH)),
                  std::tuple(std::wstring(first), std::wstring(second), red));
    }
    importWith(red, blue, L"1800", L"2200");
    expectImported(1800, 2200);
}

TEST_F(ModalWindowTest, PathsNotOnALocalDriveAreRefusedBeforeAnyFileIsOpened) {
    ImportHook<CreateFileFunction> opens(L"kernel32.dll", "CreateFileW", &countingCreateFile);
    ImportHook<DriveTypeFunction> drives(L"kernel32.dll", "GetDriveTypeW", &recordingDriveType);
    ASSERT_TRUE(opens.installed() && drives.installed());
    // Relative names find a real photo here if they are ever opened.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(folder.c_str());
    const std::wstring refused[] = {
        L" " + red,
        L"C:",
        L"C:\\",
        L"red.png",
        L".\\red.png",
        red.substr(0, 2) + L"red.png",
        L"\\\\server\\share\\x.jpg",
        L"\\\\?\\" + red,
        red + L":stream",
        L"\u00C7" + red.substr(1),
    };
    ASSERT_NE(openImport(), nullptr);
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(testing::PrintToString(path));
        for (bool first : {true, false}) {
            filesOpened = 0;
            importWith(first ? path : red, first ? blue : path);
            expectRefused(TextId::CannotReadPhotos);
            EXPECT_EQ(filesOpened, 0);
        }
    }
    // A network drive is refused on the system's word; its root is asked with a backslash
    // even for a path written with slashes.
    std::wstring slashed = red;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    driveAnswer = DRIVE_REMOTE;
    drivesAsked.clear();
    filesOpened = 0;
    importWith(slashed, blue);
    expectRefused(TextId::CannotReadPhotos);
    EXPECT_EQ(std::tuple(filesOpened, drivesAsked), std::tuple(0, Paths{red.substr(0, 2) + L"\\"}));
    driveAnswer = 0;
    click(item(IDC_IMPORT));
    EXPECT_EQ(filesOpened, 2);
    SetCurrentDirectoryW(current);
    expectImported(1950, 2020);
}

TEST_F(ModalWindowTest, UnicodeLongQuotedAndRepeatedPathsImport) {
    std::wstring deep = folder;
    while (deep.size() < 300) {
        deep += L"\\a-long-folder-name-to-pass-the-classic-limit";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    const std::wstring longPath = deep + L"\\blue.png";
    const std::wstring unicode = folder + L"\\Caf\u00E9 \u6771\u4EAC \U0001F30D.png";
    writeFile(longPath, solidPng(Blue));
    writeFile(unicode, solidPng(Red));
    const std::tuple<std::wstring, std::wstring, std::uint32_t> cases[] = {
        {unicode, longPath, Blue},
        {L"\"" + red + L"\"", L"\"" + blue + L"\"", Blue},
        {red, red, Red}, // one file, two years
    };
    for (const auto& [first, second, secondColour] : cases) {
        SCOPED_TRACE(testing::PrintToString(first + L" | " + second));
        ASSERT_NE(openImport(), nullptr);
        importWith(first, second);
        expectImported(1950, 2020, Red, secondColour);
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
        {L"over-40-MiB.jpg", Bytes(MaxPhotoBytes + 1)},
        {L"not-a-photo.jpg", Bytes(5000, 0x5A)},
    };
    Paths refused = {folder, folder + L"\\missing.png"};
    for (const auto& [name, bytes] : files) {
        writeFile(refused.emplace_back(folder + L"\\" + name), bytes);
    }
    ASSERT_NE(openImport(), nullptr);
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(testing::PrintToString(path));
        importWith(red, path);
        expectRefused(TextId::CannotReadPhotos);
        EXPECT_EQ(field(IDC_SECOND_PATH), path);
    }
}

TEST_F(ModalWindowTest, ADoubleClickOnImportPairImportsOnce) {
    const std::wstring notAPhoto = folder + L"\\not-a-photo.jpg";
    writeFile(notAPhoto, Bytes(5000, 0x5A));
    ImportHook<CreateFileFunction> opens(L"kernel32.dll", "CreateFileW", &countingCreateFile);
    ASSERT_TRUE(opens.installed());
    ASSERT_NE(openImport(), nullptr);
    fill(red, notAPhoto);
    filesOpened = 0;
    click(item(IDC_IMPORT));
    const int opensOfOneImport = filesOpened;
    ASSERT_GT(opensOfOneImport, 0);
    expectRefused(TextId::CannotReadPhotos);

    const CommandNotices notices(IDC_IMPORT);
    filesOpened = 0;
    clickWithMouse(item(IDC_IMPORT), {40, 16}, 2);
    EXPECT_EQ(notices.codes, (std::vector<WORD>{BN_CLICKED, BN_DOUBLECLICKED}));
    EXPECT_EQ(filesOpened, opensOfOneImport);
    expectRefused(TextId::CannotReadPhotos);
}

TEST_F(ModalWindowTest, PhoneJpegsOfEveryOrientationComeOutUpright) {
    // The last probe sits at three quarters of the width and height.
    auto expectQuadrants = [](const std::vector<Probe>& probes) {
        const Pixels pixels = bitmapPixels(*appState.firstImage->bitmap);
        const PixelBox whole{0, 0, pixels.width, pixels.height};
        EXPECT_EQ(std::tuple(whole.right, whole.bottom),
                  std::tuple(probes.back().x * 4 / 3, probes.back().y * 4 / 3));
        expectPixels(pixels, probes);
    };
    const auto rgb = [](Rgb c) {
        return 0xFF000000u | std::uint32_t(c.red) << 16 | std::uint32_t(c.green) << 8 |
               std::uint32_t(c.blue);
    };
    std::vector<Probe> upright;
    for (UINT y : {UprightHeight / 4, UprightHeight * 3 / 4}) {
        for (UINT x : {UprightWidth / 4, UprightWidth * 3 / 4}) {
            upright.push_back({int(x), int(y), rgb(uprightColour(x, y)), JpegTolerance});
        }
    }
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::wstring path = folder + L"\\phone-" + std::to_wstring(orientation) + L".jpg";
        writeFile(path, withSegmentAfterSoi(encodeImage(*storedPicture(orientation), L"image/jpeg"),
                                            orientationApp1(std::uint16_t(orientation), false)));
        ASSERT_NE(openImport(), nullptr);
        importWith(path, path);
        ASSERT_TRUE(appState.isLocalPair);
        expectQuadrants(upright);
    }
    // Written by exiftool: 32 x 16 stored, quadrants red, green / blue, yellow, tag 6.
    const std::wstring exiftool = folder + L"\\exiftool.jpg";
    writeFile(exiftool, readTestFile("orientation6_exiftool.jpg"));
    ASSERT_NE(openImport(), nullptr);
    importWith(exiftool, red);
    expectQuadrants({{4, 8, Blue, JpegTolerance},
                     {4, 24, 0xFFE6E628, JpegTolerance},
                     {12, 8, Red, JpegTolerance},
                     {12, 24, 0xFF1EC81E, JpegTolerance}});
}

TEST_F(ModalWindowTest, DropsFillTheDialogAndAreReleasedInEveryCase) {
    ImportHook<DragFinishFunction> finish(L"shell32.dll", "DragFinish", &recordingDragFinish);
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
    // Two folders or files, in the drop's order and without quotes; nothing imported yet.
    setStatus(TextId::Ready, false);
    drop(main, {blue, folder});
    HWND dialog = appState.importDialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH), field(IDC_FIRST_YEAR_EDIT),
                         field(IDC_SECOND_YEAR_EDIT), field(IDC_IMPORT_MESSAGE),
                         appState.generation, GetForegroundWindow()),
              std::tuple(blue, folder, std::wstring(L"2000"), std::wstring(L"2024"), std::wstring(),
                         1, dialog));
    expectStatus(TextId::Ready, false);

    // On the open dialog the paths are replaced; the typed year and the message stay.
    click(item(IDC_IMPORT));
    SetWindowTextW(item(IDC_FIRST_YEAR_EDIT), L"1971");
    drop(dialog, {red, blue});
    const auto filled = std::tuple(red, blue, std::wstring(L"1971"),
                                   std::wstring(localizedText(TextId::CannotReadPhotos)));
    EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH), field(IDC_FIRST_YEAR_EDIT),
                         field(IDC_IMPORT_MESSAGE)),
              filled);
    // A wrong count on the dialog is reported in the main status line; the dialog keeps all.
    for (const Paths& paths : {Paths{blue}, Paths{blue, red, blue}}) {
        drop(dialog, paths);
        expectStatus(TextId::CannotReadPhotos, true);
        EXPECT_EQ(std::tuple(field(IDC_FIRST_PATH), field(IDC_SECOND_PATH),
                             field(IDC_FIRST_YEAR_EDIT), field(IDC_IMPORT_MESSAGE)),
                  filled);
    }
    key(VK_RETURN);
    expectImported(1971, 2024);

    // With the help box open the paths are dropped without a word.
    command(IDC_HELP);
    ASSERT_NE(appState.helpWindow, nullptr);
    drop(main, {red, blue});
    EXPECT_EQ(appState.importDialog, nullptr);
    expectStatus(TextId::Ready, false);
}

TEST_F(ModalWindowTest, ADropWhoseReadingThrowsIsStillReleased) {
    ImportHook<DragFinishFunction> finish(L"shell32.dll", "DragFinish", &recordingDragFinish);
    ImportHook<DragQueryFunction> query(L"shell32.dll", "DragQueryFileW", &throwingDragQuery);
    ASSERT_TRUE(finish.installed() && query.installed());
    dropsFinished.clear();
    HDROP handle = makeDrop({red, blue});
    SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
    EXPECT_EQ(dropsFinished, std::vector<HDROP>{handle});
    EXPECT_EQ(appState.statusText, localizedText(TextId::CannotReadPhotos)); // the main guard
}

TEST_F(ModalWindowTest, GuardColoursAndButtonsOfTheModalWindow) {
    WNDCLASSW registered{};
    ASSERT_TRUE(GetClassInfoW(appState.instanceHandle, ModalWindowClass, &registered));
    EXPECT_EQ(registered.lpfnWndProc, &guardedModalWindowProc);
    HWND dialog = openImport();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(callModalGuarded(dialog, []() -> LRESULT { throw std::bad_alloc(); }), 0);
    EXPECT_EQ(std::tuple(field(IDC_IMPORT_MESSAGE), IsWindow(dialog)),
              std::tuple(std::wstring(localizedText(TextId::CannotReadPhotos)), TRUE));
    EXPECT_EQ(callModalGuarded(dialog, []() -> LRESULT { return 7; }), 7);

    // Statics and edits on paper with ink; the buttons drawn as the main window's are.
    HDC dc = GetDC(item(IDC_FIRST_PATH));
    SetBkColor(dc, 0);
    const LRESULT brush = SendMessageW(dialog, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(item(IDC_FIRST_PATH)));
    EXPECT_EQ(std::tuple(GetBkColor(dc), GetTextColor(dc), brush),
              std::tuple(COLORREF{0xE8F0F4}, COLORREF{0x302F26},
                         reinterpret_cast<LRESULT>(appState.modalBrush.get())));
    ReleaseDC(item(IDC_FIRST_PATH), dc);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    runLoop();
    const RECT accent = childRect(dialog, IDC_IMPORT), cancel = childRect(dialog, IDC_MODAL_CLOSE),
               path = childRect(dialog, IDC_FIRST_PATH);
    expectPixels(captureClient(dialog), {{accent.left + 2, accent.top + 2, Palette::Accent},
                                         {cancel.left + 2, cancel.top + 2, WindowColour::Panel},
                                         {path.left + 60, path.top + 8, Palette::Paper},
                                         {5, 5, Palette::Paper}});
}
