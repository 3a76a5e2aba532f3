// The colours of an owner-drawn button in the fixed look and in high contrast, by kind and
// state.
#include "core/palette.h"

#include <gtest/gtest.h>

TEST(Palette, ButtonColoursByKindAndStateInBothLooks) {
    const SystemColours system{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004,
                               0xFF000005, 0xFF000006, 0xFF000007};
    const InterfaceColours contrast = highContrastColours(system);
    constexpr std::uint32_t Plain = 0xFFE6E4D8, White = 0xFFFFFFFF, NoFrame = NotDrawn;
    struct Case {
        const InterfaceColours& colours;
        ButtonLook look;
        bool pressed, disabled;
        ButtonColours expected;
    };
    const Case cases[] = {
        {FixedColours, ButtonLook::Plain, false, false, {Plain, Palette::Ink, NoFrame}},
        {FixedColours, ButtonLook::Accent, false, false, {Palette::Accent, White, NoFrame}},
        {FixedColours, ButtonLook::Selected, false, false, {Palette::Ink, White, NoFrame}},
        {FixedColours, ButtonLook::Accent, true, false, {0xFF685542, White, NoFrame}},
        {FixedColours, ButtonLook::Plain, true, false, {0xFF685542, Palette::Ink, NoFrame}},
        {FixedColours, ButtonLook::Accent, false, true, {Palette::Accent, 0xFF92928C, NoFrame}},
        {FixedColours, ButtonLook::Plain, false, true, {Plain, 0xFF92928C, NoFrame}},
        // High contrast: face and text, the highlight pair for the chosen ones, the face
        // pair turned round while pressed, grey text only ever on the face, always a frame.
        {contrast,
         ButtonLook::Plain,
         false,
         false,
         {system.buttonFace, system.buttonText, system.buttonText}},
        {contrast,
         ButtonLook::Accent,
         false,
         false,
         {system.highlight, system.highlightText, system.buttonText}},
        {contrast,
         ButtonLook::Selected,
         false,
         false,
         {system.highlight, system.highlightText, system.buttonText}},
        {contrast,
         ButtonLook::Selected,
         true,
         false,
         {system.buttonText, system.buttonFace, system.buttonText}},
        {contrast,
         ButtonLook::Accent,
         false,
         true,
         {system.buttonFace, system.grayText, system.buttonText}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buttonColours(c.colours, c.look, c.pressed, c.disabled), c.expected)
            << (c.colours.highContrast ? "contrast " : "fixed ") << static_cast<int>(c.look)
            << (c.pressed ? " pressed" : "") << (c.disabled ? " disabled" : "");
    }
}
