#include "core/colorschemes.h"

namespace vantrel {

const std::array<SchemeGroup, 6>& schemeGroups() {
    // Columns: Pastel, Cool Blue, Green/Yellow, Grey.
    static const std::array<SchemeGroup, 6> groups{{
        {{"Panel33", "Panel34", "Panel35"}, {14148607, 16772846, 14480093, 14540253}},
        {{"Panel14", "Panel28", "Panel29"}, {14024447, 16113888, 12581119, 14540253}},
        {{"ScrollBox1"}, {16772335, 15651024, 14480093, 14540253}},
        {{"Panel25", "Panel26", "Panel27"}, {14148607, 16772846, 14480093, 14540253}},
        {{"Panel20", "Panel21", "Panel22"}, {14024447, 16113888, 12581119, 14540253}},
        {{"ScrollBox2"}, {16772335, 15651024, 14480093, 14540253}},
    }};
    return groups;
}

bool isValidScheme(int scheme) {
    return scheme >= 0 && scheme <= 3;
}

} // namespace vantrel
