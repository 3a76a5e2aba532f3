// The colours of an owner-drawn button in the fixed look and in high contrast, by kind and
// state.
#include "core/palette.h"

#include <gtest/gtest.h>

TEST(Palette, ButtonColoursByKindAndStateInBothLooks) {
    const SystemColours system{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004,
                               0xFF000005, 0xFF000006, 0xFF000007};
    const InterfaceColours contrast = highContrastColours(system);
    constexpr std::uint32_t White = 0xFFFFFFFF, NoFrame = NotDrawn;
    const std::uint32_t face = system.buttonFace, text = system.buttonText, high = system.highlight,
                        highText = system.highlightText, grey = system.grayText;
    struct Case {
        const InterfaceColours& colours;
        ButtonLook look;
        bool pressed, disabled;
        ButtonColours expected;
    };
    const Case cases[] = {
        // The fixed look's plain, accent, selected and disabled buttons are checked on screen
        // by the main window's tests; pressed keeps each kind's text.
        {FixedColours, ButtonLook::Accent, true, false, {0xFF685542, White, NoFrame}},
        {FixedColours, ButtonLook::Plain, true, false, {0xFF685542, Palette::Ink, NoFrame}},
        // High contrast: face and text, the highlight pair for the chosen ones, the face
        // pair turned round while pressed, grey text only ever on the face, always a frame.
        {contrast, ButtonLook::Plain, false, false, {face, text, text}},
        {contrast, ButtonLook::Accent, false, false, {high, highText, text}},
        {contrast, ButtonLook::Selected, false, false, {high, highText, text}},
        {contrast, ButtonLook::Selected, true, false, {text, face, text}},
        {contrast, ButtonLook::Accent, false, true, {face, grey, text}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buttonColours(c.colours, c.look, c.pressed, c.disabled), c.expected)
            << (c.colours.highContrast ? "contrast " : "fixed ") << static_cast<int>(c.look)
            << (c.pressed ? " pressed" : "") << (c.disabled ? " disabled" : "");
    }
}
