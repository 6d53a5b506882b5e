#include "platform/win32/systemevents_win32.h"

#include <windows.h>

namespace vantrel::platform::win32 {

namespace {

const char kWindowClass[] = "VantrelPlannerSystemEvents";

LRESULT CALLBACK eventsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* self = reinterpret_cast<SystemEvents*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
        std::intptr_t answer = 0;
        if (self->handle(message, wParam, answer)) return answer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

PowerChange powerChangeFor(std::uintptr_t event) {
    switch (event) {
    case 0: // PBT_APMQUERYSUSPEND
    case 4: // PBT_APMSUSPEND
        return PowerChange::GoingToSleep;
    case 2:  // PBT_APMQUERYSUSPENDFAILED
    case 3:  // PBT_APMQUERYSTANDBYFAILED
    case 6:  // PBT_APMRESUMECRITICAL
    case 7:  // PBT_APMRESUMESUSPEND
    case 8:  // PBT_APMRESUMESTANDBY
    case 18: // PBT_APMRESUMEAUTOMATIC
        return PowerChange::Resumed;
    default:
        return PowerChange::None;
    }
}

SystemEvents::SystemEvents() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = eventsProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc); // fails harmlessly when the class is there already
    // Top-level and never shown: broadcasts reach hidden windows but not message-only ones.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "Vantrel Planner", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
}

SystemEvents::~SystemEvents() {
    if (!m_window) return;
    SetWindowLongPtrA(static_cast<HWND>(m_window), GWLP_USERDATA, 0);
    DestroyWindow(static_cast<HWND>(m_window));
}

bool SystemEvents::handle(unsigned message, std::uintptr_t wParam, std::intptr_t& answer) {
    switch (message) {
    case WM_POWERBROADCAST: {
        const PowerChange change = powerChangeFor(wParam);
        if (change != PowerChange::None && onPower) onPower(change);
        answer = TRUE; // no suspend is ever refused
        return true;
    }
    case WM_QUERYENDSESSION:
        // The session may end. Qt turns the same query to its own windows into the application's
        // request to commit its data, where the program saves and closes its store.
        answer = TRUE;
        return true;
    case WM_ENDSESSION:
        if (wParam && onSessionEnd) onSessionEnd();
        answer = 0;
        return true;
    default:
        return false;
    }
}

} // namespace vantrel::platform::win32
