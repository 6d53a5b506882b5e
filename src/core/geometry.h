#pragma once
// The main window's geometry at start, from the stored layout and the screen's size.
#include "core/settings.h"

#include <QRect>
#include <QSize>

namespace vantrel {

struct RestoredGeometry {
    bool maximized = false;
    QRect normal; // left, top, width, height of the normal state
};

RestoredGeometry restoreGeometry(const Settings& s, const QSize& screen);

// The stored heights of a page's two list blocks, made usable: each at least kMinListBlock (a
// caption, a row and its buttons), and together leaving the details box kMinDetailsBox of the
// page's height when that is known (above 0). A file written with slivers heals this way.
struct ListHeights {
    int upper;
    int lower;
    bool operator==(const ListHeights&) const = default;
};
constexpr int kMinListBlock = 80;
constexpr int kMinDetailsBox = 60;
ListHeights fitListHeights(ListHeights stored, int available);

} // namespace vantrel
