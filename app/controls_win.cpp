// The control helpers of the main window and the modal windows: creation, text, colours and
// the owner-drawn buttons.
#include "app/controls.h"

#include "app/layout.h"
#include "app/startup.h"
#include "core/app_state.h"
#include "core/palette.h"

#include <objidl.h>
#include <gdiplus.h>

HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD styles, int id,
                   float x, float y, float width, float height) {
    HWND control = CreateWindowExW(0, className, text, styles | WS_CHILD | WS_VISIBLE, scaled(x),
                                   scaled(y), scaled(width), scaled(height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   appState.instanceHandle, nullptr);
    if (control) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(appState.uiFont.get()), TRUE);
    }
    return control;
}

std::wstring readControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void renewUiFont() {
    // A control draws with the handle it was last given and never asks again; were the old
    // font released while an open dialog's controls still held it, their text would fall back
    // to the system font, or take whatever font is made next under the recycled handle.
    const UniqueFont previous(appState.uiFont.release());
    appState.uiFont.reset(createUiFont(appState.uiScale));
    const auto font = reinterpret_cast<WPARAM>(appState.uiFont.get());
    for (HWND window : {appState.mainWindow, appState.importDialog, appState.helpWindow}) {
        for (HWND child = window ? GetWindow(window, GW_CHILD) : nullptr; child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            // Redrawn at once, so an owner-drawn button's label takes the new scale too.
            SendMessageW(child, WM_SETFONT, font, TRUE);
        }
    }
}

void adoptDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    appState.uiScale = static_cast<float>(HIWORD(wParam)) / 96.0f;
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH keptBrush(UniqueBrush& brush, COLORREF background) {
    if (!brush) {
        // Kept from now on; the controls may ask for it at any time.
        brush.reset(CreateSolidBrush(background));
    }
    return brush.get();
}

LRESULT answerControlColour(WPARAM dc, COLORREF background, COLORREF text, UniqueBrush& brush) {
    SetBkColor(reinterpret_cast<HDC>(dc), background);
    SetTextColor(reinterpret_cast<HDC>(dc), text);
    return reinterpret_cast<LRESULT>(keptBrush(brush, background));
}

void drawOwnerButton(const DRAWITEMSTRUCT& item, ButtonLook look) {
    const ButtonColours colours =
        buttonColours(appState.colours, look, (item.itemState & ODS_SELECTED) != 0,
                      (item.itemState & ODS_DISABLED) != 0);
    const INT width = item.rcItem.right - item.rcItem.left;
    const INT height = item.rcItem.bottom - item.rcItem.top;
    {
        Gdiplus::Graphics graphics(item.hDC);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);

        Gdiplus::SolidBrush fill{Gdiplus::Color(colours.background)};
        graphics.FillRectangle(&fill, 0, 0, width, height);
        if (colours.frame != NotDrawn) {
            // GDI+ puts pixel centres on whole coordinates: this line covers exactly the
            // outermost pixels.
            Gdiplus::Pen frame(Gdiplus::Color(colours.frame), 1.0f);
            graphics.DrawRectangle(&frame, 0, 0, width - 1, height - 1);
        }

        const std::wstring text = readControlText(item.hwndItem);
        Gdiplus::FontFamily family(UiFontFace);
        Gdiplus::Font font(&family, static_cast<Gdiplus::REAL>(scaled(13.0f)),
                           Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        // No flags and no trimming: a label too wide for one line wraps inside the button.
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::SolidBrush ink{Gdiplus::Color(colours.text)};
        const Gdiplus::RectF box(3.0f, 0.0f, static_cast<Gdiplus::REAL>(width - 6),
                                 static_cast<Gdiplus::REAL>(height));
        graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &font, box, &format, &ink);
    }
    // ODS_NOFOCUSRECT follows the keyboard cues: hidden after mouse use, shown once the
    // keyboard moves the focus, as in every dialog.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        // Drawn after the GDI+ surface is gone, so nothing it still holds covers the rectangle.
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}
