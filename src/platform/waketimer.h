#pragma once
// A timer that resumes the computer from standby at an absolute moment.
#include <cstdint>
#include <memory>
#include <string>

namespace vantrel::platform {

class WakeTimer {
public:
    virtual ~WakeTimer() = default;
    // Arms the timer for the moment in milliseconds since 1970 (universal time); a later change
    // of the clock or the time zone does not move it. False with the system's text on failure.
    virtual bool arm(std::int64_t utcMs, std::string& error) = 0;
    // Waits up to `ms` milliseconds; true once the timer has fired.
    virtual bool wait(int ms) = 0;
};

// The timer, or null with the reason when it cannot be created (the user may lack the right
// to wake the computer).
std::unique_ptr<WakeTimer> makeWakeTimer(std::string& reason);

} // namespace vantrel::platform
