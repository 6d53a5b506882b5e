#include "core/plantimes.h"

#include "core/datetime.h"

namespace vantrel {

std::optional<QString> unusableTimes(double start, double repeatEnd, int minutesBefore) {
    if (!dt::usable(start)) return QStringLiteral("its start is not a date between 1900 and 9999");
    if (repeatEnd != 0 && !dt::usable(repeatEnd))
        return QStringLiteral("its end is not a date between 1900 and 9999");
    if (minutesBefore < 0 || minutesBefore > kMaxMinutesBefore)
        return QStringLiteral("its reminder comes %1 minutes before it").arg(minutesBefore);
    return std::nullopt;
}

} // namespace vantrel
