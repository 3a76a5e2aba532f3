// Which windows answer WM_GETOBJECT with an object of the program's own (a subclass each),
// the events that tell readers of changes, and the announcements of new statuses and import
// messages. Wine's standard objects call every control a "client" and give its window text as
// name; the program's own read the same on Windows and under Wine.
#include "accessibility/accessibility.h"

#include "accessibility/accessible_object.h"
#include "app/controls.h"
#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "import/modal_window.h"

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT_PTR SubclassId = 1;
// The window's record, for the announcements that start from a handle; removed with the
// subclass when the window goes.
constexpr wchar_t RecordProperty[] = L"Driftpane.Accessible";

// UI Automation's LiveSetting property, set through oleacc's annotation service; Polite is 1.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG LivePolite = 1;

// UI Automation's notification, by value: NotificationKind_Other, NotificationProcessing_
// MostRecent (a newer status replaces one not yet spoken).
constexpr int NotificationKindOther = 4;
constexpr int NotificationProcessingMostRecent = 3;

struct BstrFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

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
        // The status is announced by itself, and the clock changes every second: a name
        // change each second would drown everything else.
        for (PaintedPart part :
             {PaintedPart::Caption, PaintedPart::SourceLine, PaintedPart::View}) {
            std::wstring& last =
                record.lastPartTexts[static_cast<std::size_t>(childIdOf(part) - 1)];
            std::wstring now = paintedPartNow(part);
            if (now != last) {
                last = std::move(now);
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, record.window, OBJID_CLIENT,
                               childIdOf(part));
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

// Marks an element as a polite live region for UI Automation readers, through oleacc's
// annotation service. Wine 8 answers E_NOTIMPL; its readers get the events alone.
void setLiveRegion(HWND window, LONG childId, bool on) {
    IAccPropServices* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&raw))) ||
        !raw) {
        return;
    }
    ComPtr<IAccPropServices> services(raw);
    if (on) {
        VARIANT polite{};
        polite.vt = VT_I4;
        polite.lVal = LivePolite;
        services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(childId),
                              LiveSettingProperty, polite);
    } else {
        MSAAPROPID property = LiveSettingProperty;
        services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT),
                                 static_cast<DWORD>(childId), &property, 1);
    }
}

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
            setLiveRegion(window, childIdOf(PaintedPart::Status), false);
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
    if (kind == ElementKind::MainClient) {
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
// has the focus. Older systems and Wine 8 lack the function, so it is looked up.
void raiseNotification(HWND window, const std::wstring& text) {
    using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotificationEvent = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    HMODULE automation = GetModuleHandleW(L"uiautomationcore.dll");
    if (!automation) {
        // Left loaded: it keeps its own state for the providers it handed out.
        automation = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    if (!automation) {
        return;
    }
    const auto raise = reinterpret_cast<RaiseNotificationEvent>(
        reinterpret_cast<void*>(GetProcAddress(automation, "UiaRaiseNotificationEvent")));
    const auto hostProvider = reinterpret_cast<HostProviderFromHwnd>(
        reinterpret_cast<void*>(GetProcAddress(automation, "UiaHostProviderFromHwnd")));
    IUnknown* raw = nullptr;
    if (!raise || !hostProvider || FAILED(hostProvider(window, &raw)) || !raw) {
        return;
    }
    ComPtr<IUnknown> provider(raw);
    UniqueBstr display(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    UniqueBstr activity(SysAllocString(L"Driftpane.Status"));
    if (display && activity) {
        raise(provider.get(), NotificationKindOther, NotificationProcessingMostRecent,
              display.get(), activity.get());
    }
}

// Name change and live-region change on the element, and the notification with its text.
void announce(HWND window, LONG childId, const std::wstring& text) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, childId);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, childId);
    raiseNotification(window, text);
}

} // namespace

void makeMainWindowAccessible(HWND window) {
    watch(window, ElementKind::MainClient);
    setLiveRegion(window, childIdOf(PaintedPart::Status), true);
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
    noticeAccessibleChanges();
    try {
        announce(main->window, childIdOf(PaintedPart::Status), appState.statusText);
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
