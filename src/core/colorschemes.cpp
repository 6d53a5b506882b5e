#include "core/colorschemes.h"

#include <array>

namespace vantrel {

std::uint32_t schemeColour(SchemeRole role, int scheme) {
    // Columns: Pastel, Cool Blue, Green/Yellow, Grey.
    static constexpr std::array<std::array<std::uint32_t, 4>, 3> colours{{
        {14148607, 16772846, 14480093, 14540253}, // the upper list
        {14024447, 16113888, 12581119, 14540253}, // the plan list
        {16772335, 15651024, 14480093, 14540253}, // the details box
    }};
    const auto& row = colours[static_cast<std::size_t>(role)];
    return row[static_cast<std::size_t>(isValidScheme(scheme) ? scheme : Pastel)];
}

bool isValidScheme(int scheme) {
    return scheme >= 0 && scheme <= 3;
}

} // namespace vantrel
