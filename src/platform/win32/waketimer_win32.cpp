#include "platform/waketimer.h"

#include <windows.h>

namespace vantrel::platform {

namespace {

using CreateTimer = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
using SetTimer = BOOL(WINAPI*)(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL);

std::string lastErrorText() {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = text ? text : "unknown error";
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// A manual-reset waitable timer that resumes the system when it falls due. Both functions are
// looked up at run time, as older systems lack them.
class WaitableTimer : public WakeTimer {
public:
    WaitableTimer(HANDLE h, SetTimer set) : m_h(h), m_set(set) {}
    ~WaitableTimer() override { CloseHandle(m_h); }

    bool arm(std::int64_t utcMs, std::string& error) override {
        if (!m_set) return true; // nothing sets it: it waits, unarmed, until stopped
        // An absolute due time is a positive count of 100 ns since 1601-01-01, universal time.
        LARGE_INTEGER due;
        due.QuadPart = (utcMs + 11644473600000LL) * 10000LL;
        if (m_set(m_h, &due, 0, nullptr, nullptr, TRUE)) return true;
        error = lastErrorText();
        return false;
    }

    bool wait(int ms) override { return WaitForSingleObject(m_h, static_cast<DWORD>(ms)) == WAIT_OBJECT_0; }

private:
    HANDLE m_h;
    SetTimer m_set;
};

} // namespace

std::unique_ptr<WakeTimer> makeWakeTimer(std::string& reason) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) {
        reason = "kernel32.dll is not loaded";
        return nullptr;
    }
    auto create = reinterpret_cast<CreateTimer>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "CreateWaitableTimerA")));
    if (!create) {
        reason = "this system has no waitable timers";
        return nullptr;
    }
    HANDLE h = create(nullptr, TRUE, nullptr);
    if (!h || h == INVALID_HANDLE_VALUE) {
        reason = lastErrorText();
        return nullptr;
    }
    auto set =
        reinterpret_cast<SetTimer>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetWaitableTimer")));
    return std::make_unique<WaitableTimer>(h, set);
}

} // namespace vantrel::platform
