#include "support/fakeclock.h"

#include "core/datetime.h"

namespace vantrel::test {

void FakeClock::setValue(double localValue) {
    m_now = dt::toQDateTime(localValue);
}

} // namespace vantrel::test
