// Looks up the screen-reader services once and gives the live setting its one
// implementation, through oleacc's annotation service.
#include "accessibility/reader_services.h"

#include "core/handles_win.h"

#include <oleacc.h>

namespace {

// UI Automation's LiveSetting property, set through oleacc's annotation service.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};

HRESULT setLiveSettingByAnnotation(HWND window, LONG childId, const VARIANT& value) {
    IAccPropServices* raw = nullptr;
    const HRESULT made = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IAccPropServices, reinterpret_cast<void**>(&raw));
    if (FAILED(made) || !raw) {
        return FAILED(made) ? made : E_NOINTERFACE;
    }
    const ComPtr<IAccPropServices> services(raw);
    if (value.vt == VT_EMPTY) {
        MSAAPROPID property = LiveSettingProperty;
        return services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT),
                                        static_cast<DWORD>(childId), &property, 1);
    }
    return services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT),
                                 static_cast<DWORD>(childId), LiveSettingProperty, value);
}

RaiseNotificationFunction lookUpRaiseNotification() {
    HMODULE automation = GetModuleHandleW(L"uiautomationcore.dll");
    if (!automation) {
        // Left loaded: it keeps its own state for the providers it hands out.
        automation = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return automation ? reinterpret_cast<RaiseNotificationFunction>(reinterpret_cast<void*>(
                            GetProcAddress(automation, "UiaRaiseNotificationEvent")))
                      : nullptr;
}

ReaderServices services;
bool lookedUp = false;

} // namespace

ReaderServices& readerServices() {
    if (!lookedUp) {
        lookedUp = true;
        services.raiseNotification = lookUpRaiseNotification();
        services.setLiveSetting = setLiveSettingByAnnotation;
    }
    return services;
}
