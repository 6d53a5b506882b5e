#include "platform/waketimer.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vantrel::platform {

namespace {

// A timerfd on CLOCK_REALTIME_ALARM: armed at an absolute moment of the real-time clock, it
// wakes a suspended system when it falls due.
class AlarmTimer : public WakeTimer {
public:
    explicit AlarmTimer(int fd) : m_fd(fd) {}
    ~AlarmTimer() override { ::close(m_fd); }

    bool arm(std::int64_t utcMs, std::string& error) override {
        itimerspec when{};
        when.it_value.tv_sec = static_cast<time_t>(utcMs / 1000);
        when.it_value.tv_nsec = static_cast<long>(utcMs % 1000) * 1000000L;
        if (::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &when, nullptr) == 0) return true;
        error = std::strerror(errno);
        return false;
    }

    bool wait(int ms) override {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return false;
        std::uint64_t expirations = 0;
        return ::read(m_fd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations);
    }

private:
    int m_fd;
};

} // namespace

std::unique_ptr<WakeTimer> makeWakeTimer(std::string& reason) {
    const int fd = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (fd < 0) {
        reason =
            errno == EPERM ? "this user may not wake the computer (CAP_WAKE_ALARM)" : std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<AlarmTimer>(fd);
}

} // namespace vantrel::platform
