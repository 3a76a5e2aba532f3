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

#include <atomic>
#include <functional>
#include <new>
#include <optional>
#include <type_traits>
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
    *out = nullptr;
    const HRESULT result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW),
                                                      IID_IDispatch, reinterpret_cast<void**>(out));
    // A success without an object is no object.
    return SUCCEEDED(result) && !*out ? E_FAIL : result;
}

// A child window's object, to which every question about that child's id is passed on.
ComPtr<IAccessible> windowAccessible(HWND window) {
    IAccessible* raw = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IAccessible,
                                          reinterpret_cast<void**>(&raw)))) {
        return nullptr;
    }
    return ComPtr<IAccessible>(raw);
}

VARIANT selfVariant() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// Out-parameters are set before anything can fail, so that no path leaves one undefined.
void clear(BSTR* out) {
    *out = nullptr;
}
void clear(VARIANT* out) {
    VariantInit(out);
}
void clear(LONG* out) {
    *out = 0;
}
void clear(IDispatch** out) {
    *out = nullptr;
}

std::atomic<long> liveObjects{0};

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
    case ElementKind::Dialog:
        return ROLE_SYSTEM_DIALOG;
    case ElementKind::HelpText:
        return ROLE_SYSTEM_TEXT;
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

// What a child id names: the object itself, one of its own children (a painted part, a
// list item, a child window of the main window), a child the standard object knows (the
// slider's parts), or nothing.
enum class ChildKind { Self, Part, Item, Window, Standard, Invalid };
struct Child {
    ChildKind kind = ChildKind::Invalid;
    LONG id = 0;
    HWND window = nullptr; // for ChildKind::Window
};

// One object of one window, made anew for each WM_GETOBJECT; its window's record says what
// it answers itself, and standard_ answers the rest.
struct AccessibleObject final : IAccessible, IOleWindow {
    AccessibleObject(SharedWindow record, ComPtr<IAccessible> standard)
        : record_(std::move(record)), standard_(std::move(standard)) {
        ++liveObjects;
    }
    ~AccessibleObject() { --liveObjects; }
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

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
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow, by which readers find the window of an object.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) {
            return E_POINTER;
        }
        *window = connected() ? record_->window : nullptr;
        return connected() ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return guarded(parent, [&] { return standard_->get_accParent(parent); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return guarded(count, [&] {
            if (isMain() || isList()) {
                *count = childCount();
                return S_OK;
            }
            return standard_->get_accChildCount(count);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return guarded(out, [&] {
            const Child c = classify(child);
            switch (c.kind) {
            case ChildKind::Part:
            case ChildKind::Item:
                return S_FALSE; // a simple element, read through this object
            case ChildKind::Window:
                return windowObject(c.window, out);
            case ChildKind::Self:
            case ChildKind::Standard:
                return standard_->get_accChild(child, out);
            case ChildKind::Invalid:
                break;
            }
            return E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return text(child, name, &IAccessible::get_accName, [&](const Child& c) -> Answer {
            if (c.kind == ChildKind::Self && !isMain()) {
                return answerText(accessibleName(*record_), name);
            }
            if (c.kind == ChildKind::Part) {
                return answerText(paintedPartNow(*partOf(c.id)), name);
            }
            if (c.kind == ChildKind::Item) {
                return answerText(itemText(record_->window, LB_GETTEXTLEN, LB_GETTEXT, c.id - 1),
                                  name);
            }
            return std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return text(child, value, &IAccessible::get_accValue, [&](const Child& c) -> Answer {
            if (c.kind == ChildKind::Self &&
                (record_->kind == ElementKind::YearList || record_->kind == ElementKind::Slider)) {
                return answerText(accessibleValue(*record_), value);
            }
            // The view reads as the slider while it has the focus, as its keys move it.
            if (c.kind == ChildKind::Part && *partOf(c.id) == PaintedPart::View &&
                ::GetFocus() == record_->window) {
                return answerText(dividerPercentText(appState.dividerPos, appState.languageIndex),
                                  value);
            }
            return owned(c) ? std::optional<HRESULT>(S_FALSE) : std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return variant(child, role, &IAccessible::get_accRole, [&](const Child& c) -> Answer {
            if (c.kind == ChildKind::Self && roleOf(record_->kind)) {
                setI4(role, *roleOf(record_->kind));
                return S_OK;
            }
            if (c.kind == ChildKind::Part) {
                setI4(role, *partOf(c.id) == PaintedPart::View ? ROLE_SYSTEM_GRAPHIC
                                                               : ROLE_SYSTEM_STATICTEXT);
                return S_OK;
            }
            if (c.kind == ChildKind::Item) {
                setI4(role, ROLE_SYSTEM_LISTITEM);
                return S_OK;
            }
            return std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return variant(child, state, &IAccessible::get_accState, [&](const Child& c) -> Answer {
            if (c.kind == ChildKind::Part) {
                setI4(state, partState(*partOf(c.id)));
                return S_OK;
            }
            if (c.kind == ChildKind::Item) {
                setI4(state, itemState(c.id));
                return S_OK;
            }
            if (c.kind == ChildKind::Self && record_->kind == ElementKind::HelpText) {
                LONG help = STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
                help |= ::GetFocus() == record_->window ? STATE_SYSTEM_FOCUSED : 0;
                setI4(state, help);
                return S_OK;
            }
            return std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text_) override {
        return text(child, text_, &IAccessible::get_accDescription, [&](const Child& c) -> Answer {
            if (c.kind == ChildKind::Part && *partOf(c.id) == PaintedPart::View) {
                return answerText(viewDescription(appState.languageIndex), text_);
            }
            return owned(c) ? std::optional<HRESULT>(S_FALSE) : std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return text(child, help, &IAccessible::get_accHelp, [&](const Child& c) -> Answer {
            return owned(c) ? std::optional<HRESULT>(S_FALSE) : std::nullopt;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        if (!file || !topic) {
            return E_POINTER;
        }
        *topic = 0;
        return guarded(file, [&] {
            const Child c = classify(child);
            if (c.kind == ChildKind::Invalid) {
                return E_INVALIDARG;
            }
            if (owned(c)) {
                return S_FALSE;
            }
            if (c.kind == ChildKind::Window) {
                const ComPtr<IAccessible> other = windowAccessible(c.window);
                return other ? other->get_accHelpTopic(file, selfVariant(), topic) : E_FAIL;
            }
            return standard_->get_accHelpTopic(file, child, topic);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return text(child, keys, &IAccessible::get_accKeyboardShortcut,
                    [&](const Child& c) -> Answer {
                        return owned(c) ? std::optional<HRESULT>(S_FALSE) : std::nullopt;
                    });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return guarded(focus, [&] {
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
        return guarded(selection, [&] {
            if (isList()) {
                const LONG selected = selectedItem();
                if (selected > 0) {
                    setI4(selection, selected);
                }
                return selected > 0 ? S_OK : S_FALSE;
            }
            return standard_->get_accSelection(selection);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return text(child, action, &IAccessible::get_accDefaultAction,
                    [&](const Child& c) -> Answer {
                        if (c.kind == ChildKind::Item) {
                            return answerText(openActionName(appState.languageIndex), action);
                        }
                        return owned(c) ? std::optional<HRESULT>(S_FALSE) : std::nullopt;
                    });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return guarded([&] {
            const Child c = classify(child);
            switch (c.kind) {
            case ChildKind::Item:
                return selectItem(flags, c.id);
            case ChildKind::Part:
                // Only the view takes the focus; nothing painted is selectable.
                if (*partOf(c.id) == PaintedPart::View && flags == SELFLAG_TAKEFOCUS) {
                    SetFocus(record_->window);
                    return S_OK;
                }
                return *partOf(c.id) == PaintedPart::View ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
            case ChildKind::Window:
                return passOn(c.window, [&](IAccessible& other) {
                    return other.accSelect(flags, selfVariant());
                });
            case ChildKind::Self:
            case ChildKind::Standard:
                return standard_->accSelect(flags, child);
            case ChildKind::Invalid:
                break;
            }
            return E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) {
            return E_POINTER;
        }
        *left = *top = *width = *height = 0;
        return guarded([&] {
            const Child c = classify(child);
            switch (c.kind) {
            case ChildKind::Part: {
                const RECT client = clientRect(record_->window);
                const PixelRect box =
                    paintedPartPixels(*partOf(c.id), appState, client.right, client.bottom);
                answerLocation(record_->window, {box.left, box.top, box.right, box.bottom}, left,
                               top, width, height);
                return S_OK;
            }
            case ChildKind::Item: {
                RECT item{};
                SendMessageW(record_->window, LB_GETITEMRECT, static_cast<WPARAM>(c.id - 1),
                             reinterpret_cast<LPARAM>(&item));
                answerLocation(record_->window, item, left, top, width, height);
                return S_OK;
            }
            case ChildKind::Window:
                return passOn(c.window, [&](IAccessible& other) {
                    return other.accLocation(left, top, width, height, selfVariant());
                });
            case ChildKind::Self:
            case ChildKind::Standard:
                return standard_->accLocation(left, top, width, height, child);
            case ChildKind::Invalid:
                break;
            }
            return E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return guarded(end, [&] {
            const Child c = classify(start);
            if (c.kind == ChildKind::Invalid) {
                return E_INVALIDARG;
            }
            if ((isMain() || isList()) && c.kind != ChildKind::Standard) {
                if (const std::optional<HRESULT> answer = navigate(direction, c.id, end)) {
                    return *answer;
                }
            }
            return standard_->accNavigate(direction, start, end);
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        return guarded(hit, [&] {
            if (!isMain() && !isList()) {
                return standard_->accHitTest(x, y, hit);
            }
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
                return answerWindow(child, hit);
            }
            const std::optional<PaintedPart> part =
                paintedPartAt(appState, point.x, point.y, client.right, client.bottom);
            setI4(hit, part ? childIdOf(*part) : CHILDID_SELF);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return guarded([&] {
            const Child c = classify(child);
            switch (c.kind) {
            case ChildKind::Item:
                return selectItem(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, c.id);
            case ChildKind::Part:
                return DISP_E_MEMBERNOTFOUND;
            case ChildKind::Window:
                return passOn(c.window, [&](IAccessible& other) {
                    return other.accDoDefaultAction(selfVariant());
                });
            case ChildKind::Self:
            case ChildKind::Standard:
                return standard_->accDoDefaultAction(child);
            case ChildKind::Invalid:
                break;
            }
            return E_INVALIDARG;
        });
    }
    // Setting names and values is long deprecated; no reader relies on it.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    // This object's own answer, or nullopt where the standard object (or a child window's
    // object) answers.
    using Answer = std::optional<HRESULT>;

    bool connected() const { return record_->connected && IsWindow(record_->window); }
    bool isMain() const { return record_->kind == ElementKind::MainClient; }
    bool isList() const { return record_->kind == ElementKind::SavedPairsList; }

    Child classify(const VARIANT& variant) const {
        const std::optional<LONG> id = childIdIn(variant);
        if (!id) {
            return {};
        }
        if (*id == CHILDID_SELF) {
            return {ChildKind::Self, *id};
        }
        if (isMain()) {
            if (partOf(*id)) {
                return {ChildKind::Part, *id};
            }
            const std::vector<HWND> windows = childWindows(record_->window);
            const LONG index = *id - FirstWindowChildId;
            if (index >= 0 && index < static_cast<LONG>(windows.size())) {
                return {ChildKind::Window, *id, windows[static_cast<std::size_t>(index)]};
            }
            return {};
        }
        if (isList()) {
            return isItem(*id) ? Child{ChildKind::Item, *id} : Child{};
        }
        return {ChildKind::Standard, *id};
    }
    // The children this object answers for itself: the painted parts or the list's items.
    static bool owned(const Child& c) {
        return c.kind == ChildKind::Part || c.kind == ChildKind::Item;
    }

    // Every call first asks whether the window still lives; a failure to allocate a text
    // must not leave through a COM method. The out-parameter is cleared on every path.
    template <typename Answer_> HRESULT guarded(Answer_&& answer) {
        if (!connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        try {
            return answer();
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    template <typename Out, typename Answer_> HRESULT guarded(Out* out, Answer_&& answer) {
        if (!out) {
            return E_POINTER;
        }
        clear(out);
        const HRESULT result = guarded(std::forward<Answer_>(answer));
        if (FAILED(result)) {
            // Whatever a failed call left half-made goes, through the holder of its kind.
            if constexpr (std::is_same_v<Out, VARIANT>) {
                ScopedVariant discarded;
                *discarded.out() = *out;
                clear(out);
            } else if constexpr (std::is_same_v<Out, BSTR>) {
                const UniqueBstr discarded(std::exchange(*out, nullptr));
            } else if constexpr (std::is_same_v<Out, IDispatch*>) {
                const ComPtr<IDispatch> discarded(std::exchange(*out, nullptr));
            }
        }
        return result;
    }
    HRESULT passOn(HWND window, const std::function<HRESULT(IAccessible&)>& ask) const {
        const ComPtr<IAccessible> other = windowAccessible(window);
        return other ? ask(*other) : E_FAIL;
    }
    // A question per child id whose answer is a text or a variant: this object's own answer,
    // else the child window's object, else the standard object.
    template <typename Out>
    HRESULT perChild(const VARIANT& child, Out* out,
                     HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, Out*),
                     const std::function<Answer(const Child&)>& own) {
        return guarded(out, [&] {
            const Child c = classify(child);
            if (c.kind == ChildKind::Invalid) {
                return E_INVALIDARG;
            }
            if (const Answer answer = own(c)) {
                return *answer;
            }
            if (c.kind == ChildKind::Window) {
                return passOn(c.window, [&](IAccessible& other) {
                    return (other.*method)(selfVariant(), out);
                });
            }
            return (standard_.get()->*method)(child, out);
        });
    }
    HRESULT text(const VARIANT& child, BSTR* out,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*),
                 const std::function<Answer(const Child&)>& own) {
        return perChild(child, out, method, own);
    }
    HRESULT variant(const VARIANT& child, VARIANT* out,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, VARIANT*),
                    const std::function<Answer(const Child&)>& own) {
        return perChild(child, out, method, own);
    }

    LONG itemCount() const {
        const LRESULT count = SendMessageW(record_->window, LB_GETCOUNT, 0, 0);
        return count > 0 ? static_cast<LONG>(count) : 0;
    }
    bool isItem(LONG id) const { return id >= 1 && id <= itemCount(); }
    LONG selectedItem() const {
        const LRESULT selected = SendMessageW(record_->window, LB_GETCURSEL, 0, 0);
        return selected >= 0 ? static_cast<LONG>(selected) + 1 : 0;
    }

    // Selecting an item is what a click on it does: the list selects it and tells its parent,
    // which opens the pair. A single-selection list has nothing to add or take away.
    HRESULT selectItem(LONG flags, LONG id) {
        constexpr LONG Known = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION |
                               SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION;
        if (flags == SELFLAG_NONE || (flags & ~Known) != 0 ||
            (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION)) != 0) {
            return E_INVALIDARG;
        }
        HWND list = record_->window;
        if (flags & SELFLAG_TAKEFOCUS) {
            SetFocus(list);
        }
        if (flags & (SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION)) {
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(id - 1), 0);
            SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
        }
        return S_OK;
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
    // A child window as a variant: its object, never a dispatch variant without one.
    static HRESULT answerWindow(HWND window, VARIANT* out) {
        IDispatch* object = nullptr;
        const HRESULT result = windowObject(window, &object);
        if (SUCCEEDED(result)) {
            out->vt = VT_DISPATCH;
            out->pdispVal = object;
        }
        return result;
    }
    HRESULT answerChild(LONG id, VARIANT* out) const {
        if (isMain() && id >= FirstWindowChildId) {
            const std::vector<HWND> windows = childWindows(record_->window);
            const auto index = static_cast<std::size_t>(id - FirstWindowChildId);
            return index < windows.size() ? answerWindow(windows[index], out) : S_FALSE;
        }
        setI4(out, id);
        return S_OK;
    }
    // First and last child from the object itself, next and previous among its children;
    // nothing for the other directions, which the standard object answers for the window.
    std::optional<HRESULT> navigate(LONG direction, LONG from, VARIANT* end) const {
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
    case ElementKind::HelpText:
    case ElementKind::Dialog: // by its title
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
        return dividerPercentText(appState.dividerPos, appState.languageIndex);
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
    // Held before the allocation: a failed new never constructs its arguments, and a bare
    // pointer passed to it would leak.
    ComPtr<IAccessible> standard(raw);
    auto* object = new (std::nothrow) AccessibleObject(record, std::move(standard));
    if (!object) {
        return 0;
    }
    const LRESULT answer =
        LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    // A negative answer is a failure code; the default procedure then answers instead.
    return answer > 0 ? answer : 0;
}

long liveAccessibleObjects() {
    return liveObjects.load();
}
