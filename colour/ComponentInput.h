#pragma once
#include <QString>
#include <array>

namespace colour {

// What to do with one character typed into a red, green or blue box.
struct KeyDecision {
    int code = 0;      // the character to enter (upper-cased), or 0 to drop it
    bool beep = false; // a dropped key sounds the warning beep
};
KeyDecision FilterRGBKey(int code, bool hexMode);

// The value of a component box's text and whether the text may stand: nothing
// but digits (and A-F in hex mode, either case), at most 255. An empty text is 0.
struct ParsedComponent {
    int value = 0;
    bool acceptable = true;
};
ParsedComponent ParseRGBText(const QString& text, bool hexMode);

// Moves all three components by delta, each clamped to 0..255 on its own.
std::array<int, 3> ApplyShade(int red, int green, int blue, int delta);

// The most characters a component box takes.
constexpr int ComponentMaxLength(bool hexMode) {
    return hexMode ? 2 : 3;
}

} // namespace colour
