// Which windows answer WM_GETOBJECT with an object of the program's own (a subclass each),
// the events that tell readers of changes, and the announcements of new statuses and import
// messages. Wine's standard objects call every control a "client" and give its window text as
// name; the program's own read the same on Windows and under Wine.
#include "accessibility/accessibility.h"

#include "accessibility/accessible_object.h"
#include "accessibility/reader_services.h"
#include "app/controls.h"
#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "import/modal_window.h"

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT_PTR SubclassId = 1;
// The window's record, for the announcements that start from a handle; removed with the
// subclass when the window goes.
constexpr wchar_t RecordProperty[] = L"Driftpane.Accessible";

// UI Automation's LiveSetting value Polite.
constexpr LONG LivePolite = 1;

// UI Automation's notification, by value: NotificationKind_Other, NotificationProcessing_
// MostRecent (a newer status replaces one not yet spoken).
constexpr int NotificationKindOther = 4;
constexpr int NotificationProcessingMostRecent = 3;

AccessibleWindow* recordOf(HWND window) {
    return window ? static_cast<AccessibleWindow*>(GetPropW(window, RecordProperty)) : nullptr;
}

// Readers learn of a change only from an event; these names and values are the program's
// own, so no control raises one for them. Buttons and the message line need none here:
// their names are window texts, whose every change the system reports.
void noticeChanges(AccessibleWindow& record) {
    if (!record.connected) {
        return;
    }
    if (record.kind == ElementKind::MainClient) {
        // An announced status or pair was recorded before its announcement, so only a
        // change nobody announced (a status in a new language) is reported here. The clock
        // changes every second: a name change each second would drown everything else.
        for (PaintedPart part : {PaintedPart::Caption, PaintedPart::SourceLine, PaintedPart::View,
                                 PaintedPart::Status}) {
            std::wstring& last =
                record.lastPartTexts[static_cast<std::size_t>(childIdOf(part) - 1)];
            std::wstring now = paintedPartNow(part);
            if (now != last) {
                last = std::move(now);
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, record.window, OBJID_CLIENT,
                               childIdOf(part));
            }
        }
        // The view's value is the divider's; readers speak value changes of the focused
        // object only, so a change is worth an event while the view has the focus.
        std::wstring value = dividerPercentText(appState.dividerPos, appState.languageIndex);
        if (value != record.lastValue) {
            record.lastValue = std::move(value);
            if (GetFocus() == record.window) {
                NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, record.window, OBJID_CLIENT,
                               childIdOf(PaintedPart::View));
            }
        }
        return;
    }
    if (record.kind != ElementKind::YearList && record.kind != ElementKind::Slider &&
        record.kind != ElementKind::SavedPairsList) {
        return;
    }
    std::wstring name = accessibleName(record);
    if (name != record.lastName) {
        record.lastName = std::move(name);
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, record.window, OBJID_CLIENT, CHILDID_SELF);
    }
    // The combo boxes report their own selection changes, and their value is the one the
    // system would give; only the slider's value is the program's own.
    if (record.kind == ElementKind::Slider) {
        std::wstring value = accessibleValue(record);
        if (value != record.lastValue) {
            record.lastValue = std::move(value);
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, record.window, OBJID_CLIENT, CHILDID_SELF);
        }
    }
}

// Marks an element as a polite live region for UI Automation readers, or no longer.
void setLiveRegion(HWND window, LONG childId, bool on) {
    if (const SetLiveSettingFunction set = readerServices().setLiveSetting) {
        VARIANT setting{};
        if (on) {
            setting.vt = VT_I4;
            setting.lVal = LivePolite;
        }
        set(window, childId, setting);
    }
}

// The main window's parts that announce: new statuses, and a new pair by the view's name.
constexpr PaintedPart LiveParts[] = {PaintedPart::View, PaintedPart::Status};

LRESULT CALLBACK accessibleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
    auto* owner = reinterpret_cast<SharedWindow*>(data);
    // Held here: the message may destroy the window, and with it the subclass's own copy.
    const SharedWindow record = *owner;
    switch (message) {
    case WM_GETOBJECT:
        // The object id arrives in the low 32 bits.
        if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
            if (const LRESULT answer = answerGetObject(record, wParam)) {
                return answer;
            }
        }
        break;
    case WM_NCDESTROY:
        record->connected = false;
        if (record->kind == ElementKind::MainClient) {
            for (PaintedPart part : LiveParts) {
                setLiveRegion(window, childIdOf(part), false);
            }
        } else if (record->kind == ElementKind::MessageLine) {
            setLiveRegion(window, CHILDID_SELF, false);
        }
        RemovePropW(window, RecordProperty);
        RemoveWindowSubclass(window, accessibleWindowProc, SubclassId);
        delete owner;
        return DefSubclassProc(window, message, wParam, lParam);
    default:
        break;
    }
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_SETFOCUS && record->kind == ElementKind::MainClient && record->connected) {
        // The system reports the window's focus; a reader should hear that the view has it.
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, childIdOf(PaintedPart::View));
    }
    return result;
}

void watch(HWND window, ElementKind kind, TextId nameText = TextId::FirstYear) {
    if (!window || recordOf(window)) {
        return;
    }
    auto record = std::make_shared<AccessibleWindow>();
    record->window = window;
    record->kind = kind;
    record->nameText = nameText;
    record->lastName = accessibleName(*record);
    record->lastValue = accessibleValue(*record);
    record->announcedGeneration = appState.generation;
    if (kind == ElementKind::MainClient) {
        record->lastValue = dividerPercentText(appState.dividerPos, appState.languageIndex);
        for (PaintedPart part : PaintedParts) {
            record->lastPartTexts[static_cast<std::size_t>(childIdOf(part) - 1)] =
                part == PaintedPart::Clock ? std::wstring() : paintedPartNow(part);
        }
    }
    auto* owner = new SharedWindow(record);
    if (!SetWindowSubclass(window, accessibleWindowProc, SubclassId,
                           reinterpret_cast<DWORD_PTR>(owner))) {
        delete owner;
        return;
    }
    SetPropW(window, RecordProperty, record.get());
}

// Windows 10 1709 brought UI Automation notifications, which Narrator reads out whatever
// has the focus. False when the system lacks them or the notification could not be raised.
bool raiseNotification(HWND window, const std::wstring& text) {
    const RaiseNotificationFunction raise = readerServices().raiseNotification;
    using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IUnknown**);
    HMODULE automation = raise ? GetModuleHandleW(L"uiautomationcore.dll") : nullptr;
    const auto hostProvider = automation
                                  ? reinterpret_cast<HostProviderFromHwnd>(reinterpret_cast<void*>(
                                        GetProcAddress(automation, "UiaHostProviderFromHwnd")))
                                  : nullptr;
    IUnknown* raw = nullptr;
    if (!hostProvider || FAILED(hostProvider(window, &raw)) || !raw) {
        return false;
    }
    const ComPtr<IUnknown> provider(raw);
    // Both strings stay ours: the call only reads them, and the holders free each once.
    const UniqueBstr display = makeBstr(text);
    const UniqueBstr activity(SysAllocString(L"Driftpane.Status"));
    return display && activity &&
           SUCCEEDED(raise(provider.get(), NotificationKindOther, NotificationProcessingMostRecent,
                           display.get(), activity.get()));
}

// One announcement on one channel: the notification where the system has it, otherwise the
// element's name change and live-region change, from which MSAA readers speak it. Several
// channels at once would have it spoken several times.
void announce(HWND window, LONG childId, const std::wstring& text) {
    if (!raiseNotification(window, text)) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, childId);
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, childId);
    }
}

} // namespace

void makeMainWindowAccessible(HWND window) {
    watch(window, ElementKind::MainClient);
    for (PaintedPart part : LiveParts) {
        setLiveRegion(window, childIdOf(part), true);
    }
    for (HWND child : childWindows(window)) {
        switch (GetDlgCtrlID(child)) {
        case IDC_FIRST_YEAR:
            watch(child, ElementKind::YearList, TextId::FirstYear);
            break;
        case IDC_SECOND_YEAR:
            watch(child, ElementKind::YearList, TextId::SecondYear);
            break;
        case IDC_COMPARISON:
            watch(child, ElementKind::Slider);
            break;
        case IDC_SAVED_PAIRS:
            watch(child, ElementKind::SavedPairsList);
            break;
        default: // every other control is an owner-drawn button
            watch(child, ElementKind::Button);
            break;
        }
    }
}

void makeModalWindowAccessible(HWND window) {
    watch(window, ElementKind::Dialog);
    watch(GetDlgItem(window, IDC_HELP_TEXT), ElementKind::HelpText);
    for (int id : {IDC_IMPORT, IDC_MODAL_CLOSE}) {
        watch(GetDlgItem(window, id), ElementKind::Button);
    }
    if (HWND line = GetDlgItem(window, IDC_IMPORT_MESSAGE)) {
        watch(line, ElementKind::MessageLine);
        setLiveRegion(line, CHILDID_SELF, true);
    }
}

void noticeAccessibleChanges() {
    AccessibleWindow* main = recordOf(appState.mainWindow);
    if (!main || !main->connected) {
        return; // not yet accessible: the window is still being built
    }
    try {
        noticeChanges(*main);
        for (HWND child : childWindows(main->window)) {
            if (AccessibleWindow* control = recordOf(child)) {
                noticeChanges(*control);
            }
        }
    } catch (...) {
        // Only a text copy can fail, for want of memory; the next change tells again.
    }
}

void announceStatus() {
    AccessibleWindow* main = recordOf(appState.mainWindow);
    if (!main || !main->connected) {
        return;
    }
    try {
        // A new pair comes with the plain Ready; the pair is the news, spoken in its own
        // words. Ready without a new pair (a language change) is no news at all. Every other
        // status is, even when it repeats the last one.
        const bool newPair = main->announcedGeneration != appState.generation;
        main->announcedGeneration = appState.generation;
        const bool plainReady =
            !appState.statusIsError && appState.statusText == localizedText(TextId::Ready);
        std::optional<PaintedPart> news;
        if (!plainReady) {
            news = PaintedPart::Status;
        } else if (newPair) {
            news = PaintedPart::View;
        }
        std::wstring text = news ? paintedPartNow(*news) : std::wstring();
        if (news) {
            main->lastPartTexts[static_cast<std::size_t>(childIdOf(*news) - 1)] = text;
        }
        noticeAccessibleChanges();
        if (news) {
            announce(main->window, childIdOf(*news), text);
        }
    } catch (...) {
        // Only a text copy can fail, for want of memory; the status itself stands.
    }
}

void announceImportMessage(HWND dialog) {
    HWND line = GetDlgItem(dialog, IDC_IMPORT_MESSAGE);
    if (!recordOf(line)) {
        return;
    }
    try {
        announce(line, CHILDID_SELF, readControlText(line));
    } catch (...) {
    }
}
