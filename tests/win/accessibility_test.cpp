// The main window and the import dialog read through oleacc as a screen reader reads them:
// objects fetched with AccessibleObjectFromWindow, children, hit tests, and the events a
// WinEvent hook receives.
#include "app/commands.h"
#include "app/control_ids.h"
#include "core/text_table.h"
#include "import/modal_window.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Accessible = ComPtr<IAccessible>;

VARIANT childVariant(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

Accessible objectOf(HWND window) {
    IAccessible* raw = nullptr;
    const HRESULT result = AccessibleObjectFromWindow(
        window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&raw));
    EXPECT_TRUE(SUCCEEDED(result) && raw) << std::hex << result;
    return Accessible(SUCCEEDED(result) ? raw : nullptr);
}

std::wstring taken(BSTR text) {
    std::wstring copy = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return copy;
}

// What a reader hears of one element: name, role and value.
struct Reading {
    std::wstring name;
    LONG role = 0;
    std::wstring value;
    bool operator==(const Reading&) const = default;
};

void PrintTo(const Reading& reading, std::ostream* out) {
    *out << testing::PrintToString(reading.name) << " role " << reading.role << " value "
         << testing::PrintToString(reading.value);
}

Reading read(IAccessible* object, LONG id = CHILDID_SELF) {
    Reading reading;
    if (!object) {
        return reading;
    }
    BSTR text = nullptr;
    object->get_accName(childVariant(id), &text);
    reading.name = taken(text);
    text = nullptr;
    object->get_accValue(childVariant(id), &text);
    reading.value = taken(text);
    VARIANT role{};
    object->get_accRole(childVariant(id), &role);
    reading.role = role.vt == VT_I4 ? role.lVal : -1;
    return reading;
}

const wchar_t* inLanguage(TextId id, int language) {
    return TextTable[static_cast<int>(id)][language];
}

// Child ids of the painted parts on the main window's object.
constexpr LONG CaptionId = 1, SourceLineId = 2, ViewId = 3, StatusId = 4, ClockId = 5;

struct SeenEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};
std::vector<SeenEvent> seenEvents;

void CALLBACK recordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    seenEvents.push_back({event, window, object, child});
}

// Focus, name, value and live-region changes, as a reader's out-of-context hook receives them.
class EventHook {
  public:
    EventHook() {
        seenEvents.clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                recordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    }
    ~EventHook() { UnhookWinEvent(hook_); }
    EventHook(const EventHook&) = delete;
    EventHook& operator=(const EventHook&) = delete;

    // The events of that kind seen so far, each as the name its object reads now.
    std::vector<std::wstring> namesOf(DWORD event) const {
        pumpMessages();
        std::vector<std::wstring> names;
        for (const SeenEvent& seen : seenEvents) {
            IAccessible* raw = nullptr;
            VARIANT child{};
            if (seen.event == event && SUCCEEDED(AccessibleObjectFromEvent(
                                           seen.window, static_cast<DWORD>(seen.object),
                                           static_cast<DWORD>(seen.child), &raw, &child))) {
                Accessible object(raw);
                BSTR name = nullptr;
                object->get_accName(child, &name);
                names.push_back(taken(name));
            }
        }
        return names;
    }

  private:
    HWINEVENTHOOK hook_ = nullptr;
};

bool contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class AccessibleWindow : public FreshAppStateTest {
  protected:
    void SetUp() override {
        FreshAppStateTest::SetUp();
        appState.appDataDir = scratch / L"Driftpane";
    }
    void TearDown() override {
        if (appState.importDialog) {
            DestroyWindow(appState.importDialog);
        }
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        pumpMessages();
        FreshAppStateTest::TearDown();
    }
    void open(int language) {
        appState.languageIndex = language;
        window = createMainWindowAt(1.0f);
        ASSERT_NE(window, nullptr);
        // Away from the screen's corner, so that screen and client coordinates differ.
        SetWindowPos(window, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        pumpMessages();
    }
    HWND control(int id) const { return GetDlgItem(window, id); }
    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    POINT onScreen(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(window, &point);
        return point;
    }

    ScratchFolder scratch;
    HWND window = nullptr;
};

} // namespace

TEST_F(AccessibleWindow, ControlsAndPaintedPartsReadInEnglishAndGerman) {
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language);
        open(language);
        const auto text = [language](TextId id) { return std::wstring(inLanguage(id, language)); };
        const std::wstring savedPairs = language == 0 ? L"Saved pairs" : L"Gespeicherte Paare";
        const struct {
            int id;
            Reading reading;
        } controls[] = {
            {IDC_FIRST_YEAR, {text(TextId::FirstYear), ROLE_SYSTEM_COMBOBOX, L"2000"}},
            {IDC_SECOND_YEAR, {text(TextId::SecondYear), ROLE_SYSTEM_COMBOBOX, L"2018"}},
            {IDC_COMPARISON, {L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"50%"}},
            {IDC_SAVED_PAIRS, {savedPairs, ROLE_SYSTEM_LIST, L""}},
            {IDC_PLACE_FIRST + 1, {L"Columbia Glacier", ROLE_SYSTEM_PUSHBUTTON, L""}},
            {IDC_LOCAL_PHOTOS, {text(TextId::LocalPhotos), ROLE_SYSTEM_PUSHBUTTON, L""}},
            {IDC_SAVE_PAIR, {text(TextId::SavePair), ROLE_SYSTEM_PUSHBUTTON, L""}},
            {IDC_OPEN_FOLDER, {L"LocalAppData / Driftpane", ROLE_SYSTEM_PUSHBUTTON, L""}},
        };
        for (const auto& c : controls) {
            EXPECT_EQ(read(objectOf(control(c.id)).get()), c.reading) << c.id;
        }
        const Accessible list = objectOf(control(IDC_SAVED_PAIRS));
        EXPECT_EQ(read(list.get(), 1),
                  (Reading{text(TextId::SavedPairsEmpty), ROLE_SYSTEM_LISTITEM, L""}));

        // The main window's children as a reader collects them: the five painted parts as
        // simple elements, then the seventeen controls as objects of their own.
        const Accessible main = objectOf(window);
        LONG count = 0;
        ASSERT_EQ(main->get_accChildCount(&count), S_OK);
        ASSERT_EQ(count, 22);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        LONG fetched = 0;
        ASSERT_TRUE(SUCCEEDED(AccessibleChildren(main.get(), 0, count, children.data(), &fetched)));
        ASSERT_EQ(fetched, count);
        for (LONG i = 0; i < count; ++i) {
            EXPECT_EQ(children[i].vt, i < 5 ? VT_I4 : VT_DISPATCH) << i;
            VariantClear(&children[i]);
        }
        const struct {
            LONG id;
            Reading reading;
        } parts[] = {
            {CaptionId, {L"Aral Sea", ROLE_SYSTEM_STATICTEXT, L""}},
            {SourceLineId,
             {L"NASA EARTH OBSERVATORY  /  MODIS + LANDSAT", ROLE_SYSTEM_STATICTEXT, L""}},
            {ViewId, {L"Aral Sea, 2000 / 2018", ROLE_SYSTEM_GRAPHIC, L""}},
            {StatusId, {text(TextId::Ready), ROLE_SYSTEM_STATICTEXT, L""}},
        };
        for (const auto& part : parts) {
            EXPECT_EQ(read(main.get(), part.id), part.reading) << part.id;
        }
        const Reading clock = read(main.get(), ClockId);
        EXPECT_NE(clock.name.find(L"UTC"), std::wstring::npos)
            << testing::PrintToString(clock.name);

        // Where the view and the status line are drawn, and what a hit test finds there.
        RECT client{};
        GetClientRect(window, &client);
        const POINT view = onScreen(274, 192);
        LONG box[4] = {};
        ASSERT_EQ(main->accLocation(&box[0], &box[1], &box[2], &box[3], childVariant(ViewId)),
                  S_OK);
        EXPECT_EQ(std::tuple(box[0], box[1], box[2], box[3]),
                  std::tuple(view.x, view.y, client.right - 302, client.bottom - 355));
        const POINT status = onScreen(274, client.bottom - 39);
        ASSERT_EQ(main->accLocation(&box[0], &box[1], &box[2], &box[3], childVariant(StatusId)),
                  S_OK);
        EXPECT_EQ(std::tuple(box[0], box[1], box[2], box[3]),
                  std::tuple(status.x, status.y, client.right - 595, 38L));
        const struct {
            POINT at;
            LONG id;
        } hits[] = {
            {onScreen(274 + (client.right - 302) / 2, 192 + (client.bottom - 355) / 2), ViewId},
            {onScreen(280, client.bottom - 30), StatusId},
            {onScreen(300, 40), CaptionId},
            {onScreen(client.right - 30, client.bottom - 20), ClockId},
            {onScreen(260, 120), CHILDID_SELF}, // between the panel and the year labels
        };
        for (const auto& hit : hits) {
            VARIANT found{};
            ASSERT_EQ(main->accHitTest(hit.at.x, hit.at.y, &found), S_OK);
            EXPECT_EQ(std::tuple(found.vt, found.lVal), std::tuple(VT_I4, hit.id));
        }
        // Over a control the hit is that control's own object.
        RECT save{};
        GetWindowRect(control(IDC_SAVE_PAIR), &save);
        VARIANT found{};
        ASSERT_EQ(main->accHitTest(save.left + 5, save.top + 5, &found), S_OK);
        EXPECT_EQ(found.vt, VT_DISPATCH);
        VariantClear(&found);

        // With the keyboard in the window itself the arrows move the divider: the view has
        // the focus, and a reader is told so.
        const EventHook hook;
        SetFocus(window);
        EXPECT_TRUE(contains(hook.namesOf(EVENT_OBJECT_FOCUS), L"Aral Sea, 2000 / 2018"));
        VARIANT focus{};
        ASSERT_EQ(main->get_accFocus(&focus), S_OK);
        EXPECT_EQ(std::tuple(focus.vt, focus.lVal), std::tuple(VT_I4, ViewId));

        DestroyWindow(window);
        pumpMessages();
    }
}

TEST_F(AccessibleWindow, EachNewStatusAndImportMessageIsAnnounced) {
    open(0);
    const struct {
        const char* action;
        std::function<HWND()> run;
        std::wstring text;
    } cases[] = {
        {"Save pair",
         [&] {
             command(IDC_SAVE_PAIR);
             return window;
         },
         L"Pair saved locally. Select it in Saved pairs."},
        {"Save pair again, same words",
         [&] {
             command(IDC_SAVE_PAIR);
             return window;
         },
         L"Pair saved locally. Select it in Saved pairs."},
        {"Import with empty paths",
         [&] {
             command(IDC_LOCAL_PHOTOS);
             importLocalPair(appState.importDialog);
             return GetDlgItem(appState.importDialog, IDC_IMPORT_MESSAGE);
         },
         inLanguage(TextId::CannotReadPhotos, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        const EventHook hook;
        const HWND announcer = c.run();
        EXPECT_EQ(hook.namesOf(EVENT_OBJECT_LIVEREGIONCHANGED), std::vector<std::wstring>{c.text});
        EXPECT_TRUE(contains(hook.namesOf(EVENT_OBJECT_NAMECHANGE), c.text));
        const auto fromAnnouncer =
            std::count_if(seenEvents.begin(), seenEvents.end(), [announcer](const SeenEvent& seen) {
                return seen.event == EVENT_OBJECT_LIVEREGIONCHANGED && seen.window == announcer;
            });
        EXPECT_EQ(fromAnnouncer, 1);
    }
    // The message line and the buttons read as what they are; the fields keep the standard
    // objects, which name an edit by the label created before it.
    const HWND dialog = appState.importDialog;
    const struct {
        int id;
        Reading reading;
    } controls[] = {
        {IDC_IMPORT_MESSAGE,
         {inLanguage(TextId::CannotReadPhotos, 0), ROLE_SYSTEM_STATICTEXT, L""}},
        {IDC_IMPORT, {L"Import pair", ROLE_SYSTEM_PUSHBUTTON, L""}},
        {IDC_FIRST_PATH, {L"First photo - full file path", ROLE_SYSTEM_TEXT, L""}},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(read(objectOf(GetDlgItem(dialog, c.id)).get()), c.reading) << c.id;
    }
}

TEST_F(AccessibleWindow, NamesAndValuesFollowLanguageDividerAndSwap) {
    open(1);
    const Accessible firstYear = objectOf(control(IDC_FIRST_YEAR));
    const Accessible list = objectOf(control(IDC_SAVED_PAIRS));
    const Accessible slider = objectOf(control(IDC_COMPARISON));
    ASSERT_EQ(read(firstYear.get()).name, L"Erstes Jahr");

    const EventHook hook;
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0); // Wine's UI language is English
    EXPECT_EQ(read(firstYear.get()).name, L"First year");
    EXPECT_EQ(read(list.get()).name, L"Saved pairs");
    const std::vector<std::wstring> renamed = hook.namesOf(EVENT_OBJECT_NAMECHANGE);
    EXPECT_TRUE(contains(renamed, L"First year"));
    EXPECT_TRUE(contains(renamed, L"Second year"));
    EXPECT_TRUE(contains(renamed, L"Saved pairs"));
    EXPECT_TRUE(contains(renamed, inLanguage(TextId::Ready, 0)));

    // The slider's value is the divider, however it moves; its name the years on display.
    const struct {
        const char* how;
        std::function<void()> move;
        Reading reading;
    } steps[] = {
        {"arrow key in the view",
         [&] { SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0); },
         {L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"52%"}},
        {"page key on the slider",
         [&] { SendMessageW(control(IDC_COMPARISON), WM_KEYDOWN, VK_NEXT, 0); },
         {L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"62%"}},
        {"Swap", [&] { command(IDC_SWAP); }, {L"2018 / 2000", ROLE_SYSTEM_SLIDER, L"38%"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.how);
        seenEvents.clear();
        step.move();
        EXPECT_EQ(read(slider.get()), step.reading);
        // The trackbar may report its own moves as well; what counts is that a reader told
        // of a change reads the new divider.
        const std::vector<std::wstring> changed = hook.namesOf(EVENT_OBJECT_VALUECHANGE);
        EXPECT_TRUE(contains(changed, step.reading.name)) << changed.size();
    }
    const std::vector<std::wstring> swapped = hook.namesOf(EVENT_OBJECT_NAMECHANGE);
    EXPECT_TRUE(contains(swapped, L"2018 / 2000"));
    EXPECT_TRUE(contains(swapped, L"Aral Sea, 2018 / 2000")) << "the view is renamed too";
}

TEST_F(AccessibleWindow, ObjectsHeldPastTheirWindowFailCleanly) {
    open(0);
    const Accessible main = objectOf(window);
    const Accessible slider = objectOf(control(IDC_COMPARISON));
    const Accessible list = objectOf(control(IDC_SAVED_PAIRS));
    ASSERT_EQ(read(slider.get()).name, L"2000 / 2018");
    DestroyWindow(window);
    pumpMessages();
    for (IAccessible* object : {main.get(), slider.get(), list.get()}) {
        BSTR name = nullptr;
        EXPECT_TRUE(FAILED(object->get_accName(childVariant(CHILDID_SELF), &name)));
        EXPECT_EQ(name, nullptr);
        EXPECT_TRUE(FAILED(object->get_accName(childVariant(StatusId), &name)));
        LONG count = -1;
        EXPECT_TRUE(FAILED(object->get_accChildCount(&count)));
        VARIANT hit{};
        EXPECT_TRUE(FAILED(object->accHitTest(10, 10, &hit)));
        LONG box[4] = {};
        EXPECT_TRUE(
            FAILED(object->accLocation(&box[0], &box[1], &box[2], &box[3], childVariant(ViewId))));
        HWND owner = nullptr;
        EXPECT_TRUE(FAILED(WindowFromAccessibleObject(object, &owner)) || owner == nullptr);
    }
}

namespace {

// The real program, started beside the tests, as a screen reader meets it: in another
// process, its objects reached through COM's marshalling.
struct OtherProcess {
    StartedProcess process;
    HWND window = nullptr;

    OtherProcess() {
        if (!process.started) {
            return;
        }
        WaitForInputIdle(process.info.hProcess, 30000);
        // Generous: only a program that never shows its window waits this long.
        for (int tries = 0; tries < 300 && !window; ++tries) {
            for (HWND found = FindWindowW(L"DriftpaneMain", nullptr); found;
                 found = FindWindowExW(nullptr, found, L"DriftpaneMain", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                window = owner == process.info.dwProcessId ? found : window;
            }
            Sleep(window ? 0 : 100);
        }
    }
    ~OtherProcess() {
        if (window) {
            PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
            process.waitForExit();
        }
    }
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;
};

} // namespace

TEST(AccessibleProgram, ReadAndHeardFromAnotherProcess) {
    const OtherProcess program;
    ASSERT_NE(program.window, nullptr);
    EXPECT_EQ(read(objectOf(GetDlgItem(program.window, IDC_COMPARISON)).get()),
              (Reading{L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"50%"}));
    const Accessible main = objectOf(program.window);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(read(main.get(), ViewId),
              (Reading{L"Aral Sea, 2000 / 2018", ROLE_SYSTEM_GRAPHIC, L""}));
    RECT client{};
    GetClientRect(program.window, &client);
    POINT centre{274 + (client.right - 302) / 2, 192 + (client.bottom - 355) / 2};
    ClientToScreen(program.window, &centre);
    VARIANT found{};
    ASSERT_EQ(main->accHitTest(centre.x, centre.y, &found), S_OK);
    EXPECT_EQ(std::tuple(found.vt, found.lVal), std::tuple(VT_I4, ViewId));

    // "Load years" sets the status anew; the hook here hears it from over there.
    const EventHook hook;
    PostMessageW(program.window, WM_COMMAND, IDC_LOAD_YEARS, 0);
    std::vector<std::wstring> heard;
    for (int tries = 0; tries < 100 && heard.empty(); ++tries) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        heard = hook.namesOf(EVENT_OBJECT_LIVEREGIONCHANGED);
    }
    EXPECT_EQ(heard, std::vector<std::wstring>{inLanguage(TextId::Ready, 0)});
}
