// The accessible objects of the main window, its controls and the modal windows' buttons and
// message line, and the announcements of new statuses. Each object wraps the standard one
// oleacc makes for its window, which already gets focus, states, navigation and default
// actions right, and answers name, role and value itself; the main window's object adds the
// painted parts as children. Wine's standard objects call every control a "client" and give
// its window text as name; these read the same on Windows and under Wine.
#include "app/accessibility.h"

#include "app/accessible_text.h"
#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "core/text_table.h"
#include "import/modal_window.h"
#include "render/clock.h"

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class ElementKind {
    MainClient,
    Button,
    YearList,
    Slider,
    SavedPairsList,
    MessageLine,
};

// What every object made for one window shares with the window's subclass. A reader may hold
// an object long after the window is gone; it then finds connected false and fails cleanly.
struct AccessibleWindow {
    HWND window = nullptr;
    ElementKind kind = ElementKind::Button;
    TextId nameText = TextId::FirstYear; // the year lists' names
    bool connected = true;
    // The last name and value readers were told of, so that only real changes are sent.
    std::wstring lastName;
    std::wstring lastValue;
    std::wstring lastPartTexts[PaintedParts.size()]; // the main window's painted parts
};
using SharedWindow = std::shared_ptr<AccessibleWindow>;

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

// Child ids of the main window's object: the painted parts first, by their fixed order, so
// that an event can name the status line by a number that never moves; the child windows
// follow, in the order the window manager keeps them.
constexpr LONG FirstWindowChildId = static_cast<LONG>(PaintedParts.size()) + 1;

LONG childIdOf(PaintedPart part) {
    for (std::size_t i = 0; i < PaintedParts.size(); ++i) {
        if (PaintedParts[i] == part) {
            return static_cast<LONG>(i) + 1;
        }
    }
    return CHILDID_SELF;
}

std::optional<PaintedPart> partOf(LONG childId) {
    if (childId >= 1 && childId < FirstWindowChildId) {
        return PaintedParts[static_cast<std::size_t>(childId - 1)];
    }
    return std::nullopt;
}

std::vector<HWND> childWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::optional<LONG> childIdIn(const VARIANT& child) {
    if (child.vt == VT_I4) {
        return child.lVal;
    }
    if (child.vt == VT_INT) {
        return child.intVal;
    }
    return std::nullopt;
}

// A child id, role or state: all travel as VT_I4.
void setI4(VARIANT* out, LONG value) {
    out->vt = VT_I4;
    out->lVal = value;
}

HRESULT answerText(const std::wstring& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT windowObject(HWND window, IDispatch** out) {
    return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(out));
}

std::wstring itemText(HWND control, UINT lengthMessage, UINT textMessage, LRESULT index) {
    const LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (index < 0 || length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(control, textMessage, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// The name and value a window's own object gives; empty where the standard object answers.
std::wstring nameOf(const AccessibleWindow& record) {
    switch (record.kind) {
    case ElementKind::YearList:
        return localizedText(record.nameText);
    case ElementKind::Slider:
        return pairYearsText(appState.firstYear, appState.secondYear);
    case ElementKind::SavedPairsList:
        return savedPairsListName(appState.languageIndex);
    case ElementKind::Button:
    case ElementKind::MessageLine:
        return readControlText(record.window);
    case ElementKind::MainClient:
        break;
    }
    return {};
}

std::wstring valueOf(const AccessibleWindow& record) {
    switch (record.kind) {
    case ElementKind::YearList:
        return itemText(record.window, CB_GETLBTEXTLEN, CB_GETLBTEXT,
                        SendMessageW(record.window, CB_GETCURSEL, 0, 0));
    case ElementKind::Slider:
        return dividerPercentText(appState.dividerPos);
    default:
        return {};
    }
}

std::optional<LONG> roleOf(ElementKind kind) {
    switch (kind) {
    case ElementKind::Button:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ElementKind::YearList:
        return ROLE_SYSTEM_COMBOBOX;
    case ElementKind::Slider:
        return ROLE_SYSTEM_SLIDER;
    case ElementKind::SavedPairsList:
        return ROLE_SYSTEM_LIST;
    case ElementKind::MessageLine:
        return ROLE_SYSTEM_STATICTEXT;
    case ElementKind::MainClient:
        break;
    }
    return std::nullopt;
}

std::wstring partText(PaintedPart part) {
    return paintedPartText(part, appState, part == PaintedPart::Clock ? clockText() : L"");
}

RECT clientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// A rectangle of the window's client area as accLocation gives it: screen position and size.
void answerLocation(HWND window, RECT box, LONG* left, LONG* top, LONG* width, LONG* height) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    *left = box.left;
    *top = box.top;
    *width = box.right - box.left;
    *height = box.bottom - box.top;
}

// The one object type: what it answers itself depends on the window's kind; the rest goes
// to the standard object of the same window.
struct AccessibleObject final : IAccessible, IOleWindow {
    AccessibleObject(SharedWindow record, ComPtr<IAccessible> standard)
        : record_(std::move(record)), standard_(std::move(standard)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        // Not IEnumVARIANT, which the standard object has: without it readers count and
        // fetch the children through accChildCount and accChild, which know the parts.
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == IID_IOleWindow) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers call the methods directly; no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow, by which readers find the window of an object.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = connected() ? record_->window : nullptr;
        return connected() ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return guarded([&] { return standard_->get_accParent(parent); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return guarded([&] {
            if (isMain()) {
                *count = FirstWindowChildId - 1 +
                         static_cast<LONG>(childWindows(record_->window).size());
                return S_OK;
            }
            if (isList()) {
                *count = itemCount();
                return S_OK;
            }
            return standard_->get_accChildCount(count);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        return guarded([&] {
            const std::optional<LONG> id = childIdIn(child);
            if (isMain() && id) {
                if (partOf(*id)) {
                    return S_FALSE; // a simple element, read through this object
                }
                const std::vector<HWND> windows = childWindows(record_->window);
                const LONG index = *id - FirstWindowChildId;
                if (index >= 0 && index < static_cast<LONG>(windows.size())) {
                    return windowObject(windows[static_cast<std::size_t>(index)], out);
                }
                return E_INVALIDARG;
            }
            if (isList() && id) {
                return isItem(*id) ? S_FALSE : E_INVALIDARG;
            }
            return standard_->get_accChild(child, out);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        *name = nullptr;
        return guarded([&] {
            const LONG id = childIdIn(child).value_or(-1);
            if (id == CHILDID_SELF && !isMain()) {
                return answerText(nameOf(*record_), name);
            }
            if (isMain() && partOf(id)) {
                return answerText(partText(*partOf(id)), name);
            }
            if (isList() && isItem(id)) {
                return answerText(itemText(record_->window, LB_GETTEXTLEN, LB_GETTEXT, id - 1),
                                  name);
            }
            return standard_->get_accName(child, name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        *value = nullptr;
        return guarded([&] {
            const LONG id = childIdIn(child).value_or(-1);
            if (id == CHILDID_SELF &&
                (record_->kind == ElementKind::YearList || record_->kind == ElementKind::Slider)) {
                return answerText(valueOf(*record_), value);
            }
            if (ownsChild(id)) {
                return S_FALSE;
            }
            return standard_->get_accValue(child, value);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return guarded([&] {
            const LONG id = childIdIn(child).value_or(-1);
            if (id == CHILDID_SELF && roleOf(record_->kind)) {
                setI4(role, *roleOf(record_->kind));
                return S_OK;
            }
            if (isMain() && partOf(id)) {
                setI4(role, *partOf(id) == PaintedPart::View ? ROLE_SYSTEM_GRAPHIC
                                                             : ROLE_SYSTEM_STATICTEXT);
                return S_OK;
            }
            if (isList() && isItem(id)) {
                setI4(role, ROLE_SYSTEM_LISTITEM);
                return S_OK;
            }
            return standard_->get_accRole(child, role);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return guarded([&] {
            const LONG id = childIdIn(child).value_or(-1);
            if (isMain() && partOf(id)) {
                setI4(state, partState(*partOf(id)));
                return S_OK;
            }
            if (isList() && isItem(id)) {
                setI4(state, itemState(id));
                return S_OK;
            }
            return standard_->get_accState(child, state);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        *text = nullptr;
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1))
                       ? S_FALSE
                       : standard_->get_accDescription(child, text);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        *text = nullptr;
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1)) ? S_FALSE
                                                            : standard_->get_accHelp(child, text);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        *file = nullptr;
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1))
                       ? S_FALSE
                       : standard_->get_accHelpTopic(file, child, topic);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        *text = nullptr;
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1))
                       ? S_FALSE
                       : standard_->get_accKeyboardShortcut(child, text);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return guarded([&] {
            HWND focused = ::GetFocus();
            // The main window itself holds the focus while the arrow keys move the divider:
            // that is the view's focus.
            if (isMain() && focused == record_->window) {
                setI4(focus, childIdOf(PaintedPart::View));
                return S_OK;
            }
            if (isList() && focused == record_->window) {
                const LONG selected = selectedItem();
                setI4(focus, selected > 0 ? selected : CHILDID_SELF);
                return S_OK;
            }
            return standard_->get_accFocus(focus);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return guarded([&] {
            if (isList()) {
                const LONG selected = selectedItem();
                selection->vt = VT_EMPTY;
                if (selected > 0) {
                    setI4(selection, selected);
                }
                return selected > 0 ? S_OK : S_FALSE;
            }
            return standard_->get_accSelection(selection);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        *text = nullptr;
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1))
                       ? S_FALSE
                       : standard_->get_accDefaultAction(child, text);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1)) ? DISP_E_MEMBERNOTFOUND
                                                            : standard_->accSelect(flags, child);
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        *left = *top = *width = *height = 0;
        return guarded([&] {
            const LONG id = childIdIn(child).value_or(-1);
            if (isMain() && partOf(id)) {
                const RECT client = clientRect(record_->window);
                const PixelRect box =
                    paintedPartPixels(*partOf(id), appState, client.right, client.bottom);
                answerLocation(record_->window, {box.left, box.top, box.right, box.bottom}, left,
                               top, width, height);
                return S_OK;
            }
            if (isList() && isItem(id)) {
                RECT item{};
                SendMessageW(record_->window, LB_GETITEMRECT, static_cast<WPARAM>(id - 1),
                             reinterpret_cast<LPARAM>(&item));
                answerLocation(record_->window, item, left, top, width, height);
                return S_OK;
            }
            return standard_->accLocation(left, top, width, height, child);
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return guarded([&] {
            const LONG id = childIdIn(start).value_or(-1);
            if ((isMain() || isList()) && (id == CHILDID_SELF || ownsChild(id))) {
                if (const std::optional<HRESULT> answer = navigate(direction, id, end)) {
                    return *answer;
                }
            }
            return standard_->accNavigate(direction, start, end);
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        return guarded([&] {
            if (!isMain() && !isList()) {
                return standard_->accHitTest(x, y, hit);
            }
            hit->vt = VT_EMPTY;
            POINT point{x, y};
            ScreenToClient(record_->window, &point);
            const RECT client = clientRect(record_->window);
            if (!PtInRect(&client, point)) {
                return S_FALSE;
            }
            if (isList()) {
                const LRESULT found = SendMessageW(record_->window, LB_ITEMFROMPOINT, 0,
                                                   MAKELPARAM(point.x, point.y));
                const bool outside = HIWORD(found) != 0;
                setI4(hit, outside ? CHILDID_SELF : static_cast<LONG>(LOWORD(found)) + 1);
                return S_OK;
            }
            HWND child = ChildWindowFromPointEx(record_->window, point, CWP_SKIPINVISIBLE);
            if (child && child != record_->window) {
                hit->vt = VT_DISPATCH;
                return windowObject(child, &hit->pdispVal);
            }
            const std::optional<PaintedPart> part =
                paintedPartAt(appState, point.x, point.y, client.right, client.bottom);
            setI4(hit, part ? childIdOf(*part) : CHILDID_SELF);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return guarded([&] {
            return ownsChild(childIdIn(child).value_or(-1)) ? DISP_E_MEMBERNOTFOUND
                                                            : standard_->accDoDefaultAction(child);
        });
    }
    // Setting names and values is long deprecated; no reader relies on it.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    bool connected() const { return record_->connected && IsWindow(record_->window); }
    bool isMain() const { return record_->kind == ElementKind::MainClient; }
    bool isList() const { return record_->kind == ElementKind::SavedPairsList; }

    // Every call first asks whether the window still lives; a failure to allocate a text
    // must not leave through a COM method.
    template <typename Answer> HRESULT guarded(Answer&& answer) {
        if (!connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        try {
            return answer();
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    LONG itemCount() const {
        const LRESULT count = SendMessageW(record_->window, LB_GETCOUNT, 0, 0);
        return count > 0 ? static_cast<LONG>(count) : 0;
    }
    bool isItem(LONG id) const { return id >= 1 && id <= itemCount(); }
    // The children this object answers for itself: the painted parts or the list's items.
    bool ownsChild(LONG id) const {
        return (isMain() && partOf(id).has_value()) || (isList() && isItem(id));
    }
    LONG selectedItem() const {
        const LRESULT selected = SendMessageW(record_->window, LB_GETCURSEL, 0, 0);
        return selected >= 0 ? static_cast<LONG>(selected) + 1 : 0;
    }

    LONG partState(PaintedPart part) const {
        LONG state = STATE_SYSTEM_READONLY;
        if (!IsWindowVisible(record_->window)) {
            state |= STATE_SYSTEM_INVISIBLE;
        }
        if (part == PaintedPart::View) {
            state |= STATE_SYSTEM_FOCUSABLE;
            if (::GetFocus() == record_->window) {
                state |= STATE_SYSTEM_FOCUSED;
            }
        }
        return state;
    }
    LONG itemState(LONG id) const {
        LONG state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY;
        if (id == selectedItem()) {
            state |= STATE_SYSTEM_SELECTED;
            if (::GetFocus() == record_->window) {
                state |= STATE_SYSTEM_FOCUSED;
            }
        }
        RECT item{};
        RECT shown{};
        const RECT client = clientRect(record_->window);
        SendMessageW(record_->window, LB_GETITEMRECT, static_cast<WPARAM>(id - 1),
                     reinterpret_cast<LPARAM>(&item));
        if (!IntersectRect(&shown, &item, &client)) {
            state |= STATE_SYSTEM_OFFSCREEN;
        }
        return state;
    }

    // The children in order: the main window's parts and child windows, or the list's items.
    LONG childCount() const {
        return isMain() ? FirstWindowChildId - 1 +
                              static_cast<LONG>(childWindows(record_->window).size())
                        : itemCount();
    }
    HRESULT answerChild(LONG id, VARIANT* out) const {
        if (isMain() && id >= FirstWindowChildId) {
            const std::vector<HWND> windows = childWindows(record_->window);
            out->vt = VT_DISPATCH;
            return windowObject(windows[static_cast<std::size_t>(id - FirstWindowChildId)],
                                &out->pdispVal);
        }
        setI4(out, id);
        return S_OK;
    }
    // First and last child from the object itself, next and previous among its children;
    // nothing for the other directions, which the standard object answers for the window.
    std::optional<HRESULT> navigate(LONG direction, LONG from, VARIANT* end) const {
        end->vt = VT_EMPTY;
        const LONG count = childCount();
        LONG to = 0;
        if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD) {
            to = 1;
        } else if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD) {
            to = count;
        } else if (from != CHILDID_SELF && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) {
            to = from + 1;
        } else if (from != CHILDID_SELF &&
                   (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) {
            to = from - 1;
        } else if (from == CHILDID_SELF) {
            return std::nullopt;
        } else {
            return S_FALSE;
        }
        if (to < 1 || to > count) {
            return S_FALSE;
        }
        return answerChild(to, end);
    }

    LONG references_ = 1;
    SharedWindow record_;
    ComPtr<IAccessible> standard_;
};

LRESULT answerGetObject(const SharedWindow& record, WPARAM wParam) {
    IAccessible* raw = nullptr;
    // The standard object is made directly, not through WM_GETOBJECT, so this window's own
    // answer is not asked for again.
    if (FAILED(CreateStdAccessibleObject(record->window, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&raw))) ||
        !raw) {
        return 0;
    }
    auto* object = new (std::nothrow) AccessibleObject(record, ComPtr<IAccessible>(raw));
    if (!object) {
        return 0;
    }
    const LRESULT answer =
        LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    // A negative answer is a failure code; the default procedure then answers instead.
    return answer > 0 ? answer : 0;
}

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
            std::wstring now = partText(part);
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
    std::wstring name = nameOf(record);
    if (name != record.lastName) {
        record.lastName = std::move(name);
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, record.window, OBJID_CLIENT, CHILDID_SELF);
    }
    // The combo boxes report their own selection changes, and their value is the one the
    // system would give; only the slider's value is the program's own.
    if (record.kind == ElementKind::Slider) {
        std::wstring value = valueOf(record);
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
    noticeChanges(*record);
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
    record->lastName = nameOf(*record);
    record->lastValue = valueOf(*record);
    if (kind == ElementKind::MainClient) {
        for (PaintedPart part : PaintedParts) {
            record->lastPartTexts[static_cast<std::size_t>(childIdOf(part) - 1)] =
                part == PaintedPart::Clock ? std::wstring() : partText(part);
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

void announceStatus() {
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
