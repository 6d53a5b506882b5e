#pragma once
// The four colour schemes of the lists and details panels.
#include <cstdint>

namespace vantrel {

enum ColorScheme { Pastel = 0, CoolBlue = 1, GreenYellow = 2, Grey = 3 };

// What a page colours: the block of its upper list, the block of its plan list, and its
// details box.
enum class SchemeRole { List, Plans, Details };

// The Windows colour value (0x00BBGGRR) of a role in a scheme; a scheme out of range gives
// the designed Pastel colours.
std::uint32_t schemeColour(SchemeRole role, int scheme);
bool isValidScheme(int scheme);

// The red, green and blue parts of a Windows colour value.
constexpr int redOf(std::uint32_t c) {
    return c & 0xFF;
}
constexpr int greenOf(std::uint32_t c) {
    return (c >> 8) & 0xFF;
}
constexpr int blueOf(std::uint32_t c) {
    return (c >> 16) & 0xFF;
}

} // namespace vantrel
