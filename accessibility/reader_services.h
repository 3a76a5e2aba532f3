// The two screen-reader services a system may lack, each reached through one pointer that is
// looked up on first use: UI Automation's notification (Windows 10 1709 and later; Wine 8
// lacks it) and the live setting of oleacc's annotation service (Wine 8 answers E_NOTIMPL).
// A test may put a recording stand-in in either place; the code around the call runs
// unchanged. Windows only.
#pragma once

#include <windows.h>
#include <oleauto.h>

// UiaRaiseNotificationEvent(provider, kind, processing, display text, activity id).
using RaiseNotificationFunction = HRESULT(WINAPI*)(IUnknown* provider, int kind, int processing,
                                                   BSTR displayString, BSTR activityId);

// Sets UI Automation's LiveSetting of one element of a window's client object to value, or
// clears it when value is VT_EMPTY.
using SetLiveSettingFunction = HRESULT (*)(HWND window, LONG childId, const VARIANT& value);

struct ReaderServices {
    RaiseNotificationFunction raiseNotification = nullptr; // null where the system lacks it
    SetLiveSettingFunction setLiveSetting = nullptr;
};

// The services, looked up the first time they are asked for.
ReaderServices& readerServices();
