#include "core/geometry.h"

#include <algorithm>

namespace vantrel {

RestoredGeometry restoreGeometry(const Settings& s, const QSize& screen) {
    RestoredGeometry g;
    g.maximized = s.Status != 0;
    // A window whose top-left quarter would lie off the screen goes to the corner.
    int left = 0, top = 0;
    if (s.Left + s.Width / 4 < screen.width() - 10 && s.Top + s.Height / 4 < screen.height() - 10) {
        left = s.Left > 0 ? s.Left : 0;
        top = s.Top > 0 ? s.Top : 0;
    }
    const int width = s.Width <= screen.width() - 25 ? s.Width : (screen.width() >= 800 ? 725 : 600);
    const int height = s.Height <= screen.height() - 25 ? s.Height : (screen.height() >= 600 ? 516 : 450);
    g.normal = QRect(left, top, width, height);
    return g;
}

ListHeights fitListHeights(ListHeights stored, int available) {
    ListHeights h{std::max(stored.upper, kMinListBlock), std::max(stored.lower, kMinListBlock)};
    const int room = available - kMinDetailsBox;
    if (available <= 0 || h.upper + h.lower <= room) return h;
    // Too tall for the page: each keeps its minimum, and what room is left above the two
    // minimums is shared in proportion to what each had above its own.
    const int extra = std::max(0, room - 2 * kMinListBlock);
    const int upperExtra = h.upper - kMinListBlock, lowerExtra = h.lower - kMinListBlock;
    if (upperExtra + lowerExtra <= 0) return h;
    const double share = static_cast<double>(extra) / (upperExtra + lowerExtra);
    h.upper = kMinListBlock + static_cast<int>(upperExtra * share);
    h.lower = kMinListBlock + static_cast<int>(lowerExtra * share);
    return h;
}

} // namespace vantrel
