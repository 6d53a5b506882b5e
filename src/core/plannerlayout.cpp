#include "core/plannerlayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vantrel::calendar {

QList<Placement> placeSideBySide(const QList<Span>& items) {
    QList<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return items[a].start < items[b].start; });
    QList<Placement> out(items.size(), {0, 1});
    // Items are taken in order of their start; a group ends where no item of it reaches further.
    QList<double> laneEnds;
    QList<int> group;
    double groupEnd = -1e300;
    const auto closeGroup = [&] {
        for (int i : group)
            out[i].lanes = static_cast<int>(laneEnds.size());
        group.clear();
        laneEnds.clear();
    };
    for (int i : order) {
        const Span& it = items[i];
        if (it.start >= groupEnd) closeGroup();
        int lane = 0;
        while (lane < laneEnds.size() && laneEnds[lane] > it.start)
            ++lane;
        if (lane == laneEnds.size())
            laneEnds.append(it.end);
        else
            laneEnds[lane] = it.end;
        out[i].lane = lane;
        group.append(i);
        groupEnd = std::max(groupEnd, std::max(it.end, it.start + 1e-9));
    }
    closeGroup();
    return out;
}

int yForMinutes(double minutes, int precision, int rowHeight) {
    return static_cast<int>(std::lround(minutes / precision * rowHeight));
}

} // namespace vantrel::calendar
