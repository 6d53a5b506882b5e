#include "plans/remindermemory.h"

namespace vantrel {

void InMemoryReminders::setDoneUntil(double moment) {
    m_doneUntil = moment;
    // What lies before the moment is covered by it.
    for (auto it = m_raised.begin(); it != m_raised.end();)
        it = it->second < moment ? m_raised.erase(it) : std::next(it);
}

} // namespace vantrel
