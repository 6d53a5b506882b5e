#pragma once
// The pending reminders: at most 20, earliest first.
#include <array>
#include <cstddef>

namespace vantrel {

struct NotifEntry {
    double NotifTime = 0; // 0 marks an empty entry
    int APPTID = -1;
};

class NotifList {
public:
    static constexpr int kSize = 20;

    NotifList() { ResetNotifs(); }
    void ResetNotifs();
    // Inserts before any entry of the same or a later time and returns the 1-based position,
    // or -1 when all 20 entries are earlier. A full list drops its last entry to make room for
    // an earlier one; that reminder comes back at a later rebuild.
    int AddNotif(int apptId, double time);

    int NotifCount() const { return m_count; }
    const NotifEntry& operator[](int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    // The earliest pending reminder, 0 when nothing is pending.
    double first() const { return m_entries[0].NotifTime; }

private:
    std::array<NotifEntry, kSize> m_entries;
    int m_count = 0;
};

} // namespace vantrel
