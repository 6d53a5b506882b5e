#pragma once
// The system's broadcasts that the program acts on: the power events around standby and the
// end of the logon session. A hidden top-level window receives them (a message-only window would
// not) on the thread that made it, through that thread's message loop.
#include <cstdint>
#include <functional>

namespace vantrel::platform::win32 {

enum class PowerChange { None, GoingToSleep, Resumed };

// What a power broadcast's event number means to the program. The query before a suspend (0)
// and, since the query is no longer sent by newer systems, the suspend itself (4) mean going to
// sleep; a refused suspend or standby (2, 3) and every kind of resume (6, 7, 8, 18) mean the
// computer is awake again.
PowerChange powerChangeFor(std::uintptr_t event);

class SystemEvents {
public:
    SystemEvents();
    ~SystemEvents();
    SystemEvents(const SystemEvents&) = delete;
    SystemEvents& operator=(const SystemEvents&) = delete;

    // Null when the window could not be made: then nothing is told.
    void* window() const { return m_window; }

    std::function<void(PowerChange)> onPower;
    // The session ends for good (the end was not cancelled); the process may be ended any
    // moment after this returns.
    std::function<void()> onSessionEnd;

    // The window procedure's part; true when the message was handled, with its answer.
    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t& answer);

private:
    void* m_window = nullptr;
};

} // namespace vantrel::platform::win32
