#pragma once
// Every "now" and "today" of the program comes from one clock, so tests can set the time.
#include <QDateTime>

namespace vantrel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Now as a local date-time value.
    double nowValue() const;
    double today() const;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace vantrel
