#pragma once
// The four colour schemes of the lists and details panels.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace vantrel {

enum ColorScheme { Pastel = 0, CoolBlue = 1, GreenYellow = 2, Grey = 3 };

struct SchemeGroup {
    QStringList containers;
    std::array<std::uint32_t, 4> colors; // Windows colour values (0x00BBGGRR) by scheme number
};

// Six groups covering the fourteen containers.
const std::array<SchemeGroup, 6>& schemeGroups();
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
