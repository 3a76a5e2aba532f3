// The one accessible object type: what it answers itself depends on its window's kind; the
// rest goes to the standard object oleacc makes for the same window, which already gets focus,
// states, navigation and default actions right. The main window's object adds the painted
// parts as simple children, the saved-pairs list's object its items.
#include "accessibility/accessible_object.h"

#include "app/controls.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "import/modal_window.h"
#include "render/clock.h"

#include <windows.h>
#include <oleacc.h>

#include <new>
#include <optional>
#include <utility>

namespace {

std::optional<PaintedPart> partOf(LONG childId) {
    if (childId >= 1 && childId < FirstWindowChildId) {
        return PaintedParts[static_cast<std::size_t>(childId - 1)];
    }
    return std::nullopt;
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

// An item of a combo box or list box, by the messages of its kind; empty for no item.
std::wstring itemText(HWND control, UINT lengthMessage, UINT textMessage, LRESULT index) {
    if (index < 0) {
        return {};
    }
    const LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(control, textMessage, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
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

// One object of one window, made anew for each WM_GETOBJECT; its window's record says what
// it answers itself, and standard_ answers the rest.
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
                return answerText(accessibleName(*record_), name);
            }
            if (isMain() && partOf(id)) {
                return answerText(paintedPartNow(*partOf(id)), name);
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
                return answerText(accessibleValue(*record_), value);
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

} // namespace

LONG childIdOf(PaintedPart part) {
    for (std::size_t i = 0; i < PaintedParts.size(); ++i) {
        if (PaintedParts[i] == part) {
            return static_cast<LONG>(i) + 1;
        }
    }
    return CHILDID_SELF;
}

std::vector<HWND> childWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::wstring accessibleName(const AccessibleWindow& record) {
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

std::wstring accessibleValue(const AccessibleWindow& record) {
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

std::wstring paintedPartNow(PaintedPart part) {
    return paintedPartText(part, appState, part == PaintedPart::Clock ? clockText() : L"");
}

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
