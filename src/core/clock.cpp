#include "core/clock.h"

#include "core/datetime.h"

#include <cmath>

namespace vantrel {

double Clock::nowValue() const {
    return dt::fromQDateTime(now());
}
double Clock::today() const {
    return std::floor(nowValue());
}

} // namespace vantrel
