#include "notify/notiflist.h"

namespace vantrel {

void NotifList::ResetNotifs() {
    m_entries.fill(NotifEntry{});
    m_count = 0;
}

int NotifList::AddNotif(int apptId, double time) {
    int p = 0;
    while (p < kSize && m_entries[p].NotifTime != 0 && m_entries[p].NotifTime < time)
        ++p;
    if (p == kSize) return -1;
    const int last = m_count < kSize ? m_count : kSize - 1; // a full list loses its last entry
    for (int i = last; i > p; --i)
        m_entries[i] = m_entries[i - 1];
    m_entries[p] = {time, apptId};
    if (m_count < kSize) ++m_count;
    return p + 1;
}

} // namespace vantrel
