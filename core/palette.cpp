// The high-contrast look and the colours of a button in either look. Free of Windows: the
// system colours come in as numbers.
#include "core/palette.h"

InterfaceColours highContrastColours(const SystemColours& system) {
    const std::uint32_t window = system.window;
    const std::uint32_t text = system.windowText;
    // The divider and knob lie over photos of any colour: the highlight pair, one inside the
    // other, always has one of the two standing out.
    const ComparisonColours view{
        .background = window,
        .divider = system.highlight,
        .dividerEdge = system.highlightText,
        .knob = system.highlight,
        .knobRing = system.highlightText,
        .knobArrows = system.highlightText,
        .chip = window,
        .chipText = text,
    };
    return {
        .highContrast = true,
        .paper = window,
        .panel = window,
        .headerStart = window,
        .headerEnd = window,
        .hatch = NotDrawn,
        .title = text,
        .tagline = text,
        .fieldNotes = text,
        .ink = text,
        // Secondary text takes the full text colour: grey text is for what is disabled.
        .muted = text,
        .rule = text,
        .errorRed = text,
        .view = view,
        .buttonFace = system.buttonFace,
        .buttonText = system.buttonText,
        .accentFace = system.highlight,
        .selectedFace = system.highlight,
        .lightText = system.highlightText,
        .pressedFace = system.buttonText,
        .disabledText = system.grayText,
        // Button face and window are often the same colour in a contrast scheme.
        .buttonFrame = system.buttonText,
        .controlBackground = window,
        .controlText = text,
        .modalBackground = window,
        .modalText = text,
    };
}

ButtonColours buttonColours(const InterfaceColours& colours, ButtonLook look, bool pressed,
                            bool disabled) {
    ButtonColours result{colours.buttonFace, colours.buttonText, colours.buttonFrame};
    if (look != ButtonLook::Plain) {
        result.background = look == ButtonLook::Accent ? colours.accentFace : colours.selectedFace;
        result.text = colours.lightText;
    }
    if (pressed) {
        result.background = colours.pressedFace;
        // High contrast has no colour of its own for a pressed button; the button's pair
        // turned round stays legible in every scheme.
        if (colours.highContrast) {
            result.text = colours.buttonFace;
        }
    }
    if (disabled) {
        // Grey text is promised legible on the button face only.
        if (colours.highContrast) {
            result.background = colours.buttonFace;
        }
        result.text = colours.disabledText;
    }
    return result;
}
