// The main window and the import dialog read through oleacc as a screen reader reads them:
// objects fetched with AccessibleObjectFromWindow, children, hit tests, and the events a
// WinEvent hook receives.
#include "accessibility/reader_services.h"
#include "app/commands.h"
#include "app/control_ids.h"
#include "core/text_table.h"
#include "download/fetch_job.h"
#include "download/fetch_outcome.h"
#include "import/modal_window.h"
#include "tests/win/import_hook.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
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
    const UniqueBstr held(text);
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
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
    ScopedVariant role;
    object->get_accRole(childVariant(id), role.out());
    reading.role = role->vt == VT_I4 ? role->lVal : -1;
    return reading;
}

const wchar_t* inLanguage(TextId id, int language) {
    return TextTable[static_cast<int>(id)][language];
}

// Child ids of the painted parts on the main window's object.
constexpr LONG CaptionId = 1, SourceLineId = 2, ViewId = 3, ZoomId = 4, StatusId = 5, ClockId = 6;

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

// Value changes a reader hears of one element.
long valueEvents(HWND window, LONG child) {
    pumpMessages();
    return std::count_if(seenEvents.begin(), seenEvents.end(), [&](const SeenEvent& seen) {
        return seen.event == EVENT_OBJECT_VALUECHANGE && seen.window == window &&
               seen.object == OBJID_CLIENT && seen.child == child;
    });
}

// A stand-in for one of the screen-reader services while it lives; the real one after.
template <typename Function> struct ServiceStandIn {
    ServiceStandIn(Function ReaderServices::*slot, Function standIn)
        : slot_(slot), real_(readerServices().*slot) {
        readerServices().*slot_ = standIn;
    }
    ~ServiceStandIn() { readerServices().*slot_ = real_; }
    ServiceStandIn(const ServiceStandIn&) = delete;
    ServiceStandIn& operator=(const ServiceStandIn&) = delete;

  private:
    Function ReaderServices::*slot_;
    Function real_;
};

// What the notification stand-in was handed: the texts, and for each string it was given,
// how often the program freed it afterwards (counted through the import table).
std::vector<std::wstring> notified;
std::map<BSTR, int> frees;
bool handedTextsWereLive = true;

using FreeStringFunction = void(WINAPI*)(BSTR);
void WINAPI countingFreeString(BSTR text) {
    if (const auto handed = frees.find(text); handed != frees.end()) {
        ++handed->second;
    }
    ImportHook<FreeStringFunction>::original(text);
}

HRESULT WINAPI recordingNotification(IUnknown* provider, int kind, int processing, BSTR display,
                                     BSTR activity) {
    // The program still owns both strings during the call: neither freed yet, each whole.
    for (BSTR text : {display, activity}) {
        handedTextsWereLive = handedTextsWereLive && text && !frees.contains(text) &&
                              SysStringLen(text) == std::wcslen(text);
        frees[text] = 0;
    }
    handedTextsWereLive = handedTextsWereLive && provider && kind == 4 && processing == 3;
    notified.push_back(display ? display : L"");
    return S_OK;
}

struct LiveSetting {
    HWND window;
    LONG child;
    VARTYPE type;
    LONG value;
    bool operator==(const LiveSetting&) const = default;
};
std::vector<LiveSetting> liveSettings;

HRESULT recordingLiveSetting(HWND window, LONG child, const VARIANT& value) {
    liveSettings.push_back({window, child, value.vt, value.vt == VT_I4 ? value.lVal : 0});
    return S_OK;
}

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
            {IDC_COMPARISON,
             {L"2000 / 2018", ROLE_SYSTEM_SLIDER, language == 0 ? L"50.0%" : L"50,0%"}},
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

        // The main window's children as a reader collects them: the six painted parts as
        // simple elements, then the seventeen controls as objects of their own.
        const Accessible main = objectOf(window);
        LONG count = 0;
        ASSERT_EQ(main->get_accChildCount(&count), S_OK);
        ASSERT_EQ(count, 23);
        std::vector<ScopedVariant> children(static_cast<std::size_t>(count));
        std::vector<VARIANT> fetchedChildren(static_cast<std::size_t>(count));
        LONG fetched = 0;
        ASSERT_TRUE(
            SUCCEEDED(AccessibleChildren(main.get(), 0, count, fetchedChildren.data(), &fetched)));
        ASSERT_EQ(fetched, count);
        for (LONG i = 0; i < count; ++i) {
            *children[static_cast<std::size_t>(i)].out() = fetchedChildren[i];
            EXPECT_EQ(children[static_cast<std::size_t>(i)]->vt, i < 6 ? VT_I4 : VT_DISPATCH) << i;
        }
        // An id past the parts names a child window in every method alike; past the last
        // child, or below zero, nothing, and every out-parameter comes back empty.
        IAccessible* firstWindow = nullptr;
        children[6]->pdispVal->QueryInterface(IID_IAccessible,
                                              reinterpret_cast<void**>(&firstWindow));
        EXPECT_EQ(read(main.get(), 7), read(Accessible(firstWindow).get()));
        for (const LONG id : {count + 1, LONG{-3}}) {
            SCOPED_TRACE(id);
            BSTR name = SysAllocString(L"stale");
            EXPECT_EQ(main->get_accName(childVariant(id), &name), E_INVALIDARG);
            EXPECT_EQ(name, nullptr);
            ScopedVariant role;
            EXPECT_EQ(main->get_accRole(childVariant(id), role.out()), E_INVALIDARG);
            EXPECT_EQ(role->vt, VT_EMPTY);
            LONG box[4] = {1, 1, 1, 1};
            EXPECT_EQ(main->accLocation(&box[0], &box[1], &box[2], &box[3], childVariant(id)),
                      E_INVALIDARG);
            EXPECT_EQ(std::tuple(box[0], box[1], box[2], box[3]), std::tuple(0, 0, 0, 0));
            IDispatch* child = nullptr;
            EXPECT_EQ(main->get_accChild(childVariant(id), &child), E_INVALIDARG);
            EXPECT_EQ(main->accDoDefaultAction(childVariant(id)), E_INVALIDARG);
            EXPECT_EQ(main->accSelect(SELFLAG_TAKEFOCUS, childVariant(id)), E_INVALIDARG);
        }
        const struct {
            LONG id;
            Reading reading;
        } parts[] = {
            {CaptionId, {L"Aral Sea", ROLE_SYSTEM_STATICTEXT, L""}},
            {SourceLineId,
             {L"NASA EARTH OBSERVATORY  /  MODIS + LANDSAT", ROLE_SYSTEM_STATICTEXT, L""}},
            {ViewId, {L"Aral Sea, 2000 / 2018", ROLE_SYSTEM_GRAPHIC, L""}},
            {ZoomId, {L"Zoom 100%", ROLE_SYSTEM_STATICTEXT, L""}},
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
            {onScreen(client.right - 200, client.bottom - 60), ZoomId},
            {onScreen(260, 120), CHILDID_SELF}, // between the panel and the year labels
        };
        for (const auto& hit : hits) {
            ScopedVariant found;
            ASSERT_EQ(main->accHitTest(hit.at.x, hit.at.y, found.out()), S_OK);
            EXPECT_EQ(std::tuple(found->vt, found->lVal), std::tuple(VT_I4, hit.id));
        }
        // Over a control the hit is that control's own object.
        RECT save{};
        GetWindowRect(control(IDC_SAVE_PAIR), &save);
        ScopedVariant found;
        ASSERT_EQ(main->accHitTest(save.left + 5, save.top + 5, found.out()), S_OK);
        ASSERT_EQ(found->vt, VT_DISPATCH);
        EXPECT_NE(found->pdispVal, nullptr);

        // With the keyboard in the window itself the arrows move the divider: the view has
        // the focus, and a reader is told so.
        const EventHook hook;
        SetFocus(window);
        EXPECT_TRUE(contains(hook.namesOf(EVENT_OBJECT_FOCUS), L"Aral Sea, 2000 / 2018"));
        ScopedVariant focus;
        ASSERT_EQ(main->get_accFocus(focus.out()), S_OK);
        EXPECT_EQ(std::tuple(focus->vt, focus->lVal), std::tuple(VT_I4, ViewId));
        const std::wstring described = taken([&] {
            BSTR description = nullptr;
            main->get_accDescription(childVariant(ViewId), &description);
            return description;
        }());
        EXPECT_NE(described.find(language == 0 ? L"Plus and minus" : L"Plus und Minus"),
                  std::wstring::npos);

        DestroyWindow(window);
        pumpMessages();
    }
}

TEST_F(AccessibleWindow, EachNewStatusAndPairIsAnnouncedOnceOnOneChannel) {
    open(0);
    // A command of the main window, which then speaks.
    const auto press = [this](int id) {
        return [this, id] {
            command(id);
            return window;
        };
    };
    const std::wstring saved = L"Pair saved locally. Select it in Saved pairs.";
    const struct {
        const char* action;
        std::function<HWND()> run; // returns the element that speaks
        std::wstring text;
    } cases[] = {
        {"Save pair", press(IDC_SAVE_PAIR), saved},
        {"Save pair again, same words", press(IDC_SAVE_PAIR), saved},
        {"A place: the new pair in its own words, not its Ready", press(IDC_PLACE_FIRST + 1),
         L"Columbia Glacier, 1986 / 2024"},
        {"Load years", press(IDC_LOAD_YEARS), L"Columbia Glacier, 1986 / 2024"},
        {"Fetch while a download runs",
         [&] {
             appState.downloadInProgress = true;
             command(IDC_FETCH);
             appState.downloadInProgress = false;
             return window;
         },
         inLanguage(TextId::WaitForDownload, 0)},
        {"A download that ends after the pair changed",
         [&] {
             appState.downloadInProgress = true;
             auto result = std::make_unique<FetchResult>();
             result->generation = appState.generation - 1;
             onFetchDone(std::move(result));
             return window;
         },
         staleFetchText(0)},
        {"Import with empty paths",
         [&] {
             if (!appState.importDialog) {
                 command(IDC_LOCAL_PHOTOS);
             }
             importLocalPair(appState.importDialog);
             return GetDlgItem(appState.importDialog, IDC_IMPORT_MESSAGE);
         },
         inLanguage(TextId::CannotReadPhotos, 0)},
    };
    // Wine lacks UI Automation's notification, so the element's events speak; where the
    // system has it, the notification alone does (here through the stand-in).
    for (const bool notification : {false, true}) {
        ServiceStandIn<RaiseNotificationFunction> raise(
            &ReaderServices::raiseNotification, notification ? &recordingNotification : nullptr);
        ImportHook<FreeStringFunction> freeString(L"oleaut32.dll", "SysFreeString",
                                                  &countingFreeString);
        ASSERT_TRUE(freeString.installed());
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.action << (notification ? ", notified" : ""));
            notified.clear();
            frees.clear();
            const EventHook hook;
            const HWND announcer = c.run();
            const std::vector<std::wstring> spoken = hook.namesOf(EVENT_OBJECT_LIVEREGIONCHANGED);
            if (notification) {
                EXPECT_EQ(notified, std::vector<std::wstring>{c.text});
                EXPECT_EQ(spoken, std::vector<std::wstring>{});
                EXPECT_TRUE(handedTextsWereLive);
                for (const auto& [text, freed] : frees) {
                    EXPECT_EQ(freed, 1) << "each string handed over is freed once";
                }
                continue;
            }
            EXPECT_EQ(spoken, std::vector<std::wstring>{c.text});
            EXPECT_TRUE(contains(hook.namesOf(EVENT_OBJECT_NAMECHANGE), c.text));
            EXPECT_EQ(std::count_if(seenEvents.begin(), seenEvents.end(),
                                    [announcer](const SeenEvent& seen) {
                                        return seen.event == EVENT_OBJECT_LIVEREGIONCHANGED &&
                                               seen.window == announcer;
                                    }),
                      1);
        }
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
         {L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"52.0%"}},
        {"page key on the slider",
         [&] { SendMessageW(control(IDC_COMPARISON), WM_KEYDOWN, VK_NEXT, 0); },
         {L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"62.0%"}},
        {"Swap", [&] { command(IDC_SWAP); }, {L"2018 / 2000", ROLE_SYSTEM_SLIDER, L"38.0%"}},
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

    // Every arrow press is a change a reader hears, on the focused slider and on the focused
    // view, which then reads as the slider does.
    const Accessible main = objectOf(window);
    for (const auto& [target, child] :
         {std::pair{control(IDC_COMPARISON), LONG{CHILDID_SELF}}, std::pair{window, ViewId}}) {
        SetFocus(target);
        seenEvents.clear();
        for (int press = 0; press < 6; ++press) {
            SendMessageW(target, WM_KEYDOWN, VK_LEFT, 0);
        }
        EXPECT_EQ(valueEvents(target, child), 6) << child;
        EXPECT_EQ(read(main.get(), ViewId).value, child == ViewId ? read(slider.get()).value : L"");
    }
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
        EXPECT_EQ(count, 0);
        VARIANT hit{};
        hit.vt = VT_I4;
        EXPECT_TRUE(FAILED(object->accHitTest(10, 10, &hit)));
        EXPECT_EQ(hit.vt, VT_EMPTY);
        VARIANT role{};
        role.vt = VT_I4;
        EXPECT_TRUE(FAILED(object->get_accRole(childVariant(CHILDID_SELF), &role)));
        EXPECT_EQ(role.vt, VT_EMPTY);
        IDispatch* parent = reinterpret_cast<IDispatch*>(object);
        EXPECT_TRUE(FAILED(object->get_accParent(&parent)));
        EXPECT_EQ(parent, nullptr);
        LONG box[4] = {1, 1, 1, 1};
        EXPECT_TRUE(
            FAILED(object->accLocation(&box[0], &box[1], &box[2], &box[3], childVariant(ViewId))));
        EXPECT_EQ(std::tuple(box[0], box[1], box[2], box[3]), std::tuple(0, 0, 0, 0));
        HWND owner = nullptr;
        EXPECT_TRUE(FAILED(WindowFromAccessibleObject(object, &owner)) || owner == nullptr);
    }
}

TEST_F(AccessibleWindow, SavedPairItemsAreSelectedAndOpenedThroughTheirObjects) {
    open(0);
    command(IDC_SAVE_PAIR);
    const Accessible list = objectOf(control(IDC_SAVED_PAIRS));
    EXPECT_EQ(taken([&] {
                  BSTR action = nullptr;
                  list->get_accDefaultAction(childVariant(1), &action);
                  return action;
              }()),
              L"Open");
    // Speech control's "click" and UI Automation's Invoke and Select, as a reader sends them.
    const struct {
        const char* how;
        std::function<HRESULT()> open;
    } ways[] = {
        {"default action", [&] { return list->accDoDefaultAction(childVariant(1)); }},
        {"select", [&] { return list->accSelect(SELFLAG_TAKESELECTION, childVariant(1)); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        command(IDC_PLACE_FIRST + 1);
        ASSERT_EQ(appState.firstYear, 1986);
        ASSERT_EQ(way.open(), S_OK);
        EXPECT_EQ(std::tuple(appState.isLocalPair, appState.firstYear, appState.secondYear),
                  std::tuple(true, 2000, 2018));
        ScopedVariant selected;
        EXPECT_EQ(list->get_accSelection(selected.out()), S_OK);
        EXPECT_EQ(std::tuple(selected->vt, selected->lVal), std::tuple(VT_I4, 1));
    }
    EXPECT_EQ(list->accSelect(SELFLAG_ADDSELECTION, childVariant(1)), E_INVALIDARG);
    EXPECT_EQ(list->accDoDefaultAction(childVariant(2)), E_INVALIDARG);
}

TEST_F(AccessibleWindow, StatusAndViewAreLiveRegionsWhileTheWindowLives) {
    liveSettings.clear();
    const ServiceStandIn<SetLiveSettingFunction> live(&ReaderServices::setLiveSetting,
                                                      &recordingLiveSetting);
    open(0);
    const HWND main = window;
    DestroyWindow(window);
    pumpMessages();
    EXPECT_EQ(liveSettings, (std::vector<LiveSetting>{{main, ViewId, VT_I4, 1},
                                                      {main, StatusId, VT_I4, 1},
                                                      {main, ViewId, VT_EMPTY, 0},
                                                      {main, StatusId, VT_EMPTY, 0}}));
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
              (Reading{L"2000 / 2018", ROLE_SYSTEM_SLIDER, L"50.0%"}));
    const Accessible main = objectOf(program.window);
    ASSERT_NE(main, nullptr);
    // The program starts with the keyboard in the view, which then reads as the slider.
    EXPECT_EQ(read(main.get(), ViewId),
              (Reading{L"Aral Sea, 2000 / 2018", ROLE_SYSTEM_GRAPHIC, L"50.0%"}));
    RECT client{};
    GetClientRect(program.window, &client);
    POINT centre{274 + (client.right - 302) / 2, 192 + (client.bottom - 355) / 2};
    ClientToScreen(program.window, &centre);
    ScopedVariant found;
    ASSERT_EQ(main->accHitTest(centre.x, centre.y, found.out()), S_OK);
    EXPECT_EQ(std::tuple(found->vt, found->lVal), std::tuple(VT_I4, ViewId));

    // "Load years" installs the pair anew; the hook here hears it from over there, in the
    // pair's own words and without its Ready.
    const EventHook hook;
    PostMessageW(program.window, WM_COMMAND, IDC_LOAD_YEARS, 0);
    std::vector<std::wstring> heard;
    for (int tries = 0; tries < 100 && heard.empty(); ++tries) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        heard = hook.namesOf(EVENT_OBJECT_LIVEREGIONCHANGED);
    }
    EXPECT_EQ(heard, std::vector<std::wstring>{L"Aral Sea, 2000 / 2018"});
}
