#include "platform/win32/instance_win32.h"

#include <cstdint>
#include <cstring>
#include <windows.h>

namespace vantrel::platform::win32 {

namespace {

constexpr DWORD kMappingSize = 4096;
const char kWindowClass[] = "VantrelPlannerInstance";

UINT activateMessage() {
    static const UINT message = RegisterWindowMessageA("VantrelPlanner.Activate");
    return message;
}

LRESULT CALLBACK instanceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == activateMessage()) {
        if (auto* self = reinterpret_cast<NamedInstance*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            self->activationRequested();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window: it never shows and gets no broadcasts, only what is posted to it.
HWND makeMessageWindow(NamedInstance* owner) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = instanceProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc); // fails harmlessly when the class is there already
    HWND window =
        CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

} // namespace

NamedInstance::NamedInstance(std::string name) : m_name(std::move(name)) {}

NamedInstance::~NamedInstance() {
    if (m_window) {
        SetWindowLongPtrA(static_cast<HWND>(m_window), GWLP_USERDATA, 0);
        DestroyWindow(static_cast<HWND>(m_window));
    }
    if (m_mapping) CloseHandle(m_mapping);
    if (m_mutex) CloseHandle(m_mutex);
}

bool NamedInstance::claim() {
    // The test: a mapping under the name. While an instance runs, its mutex holds the name, and
    // mappings and mutexes share one namespace, so the mapping cannot be made.
    HANDLE probe =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize, m_name.c_str());
    if (!probe) return false;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS; // another start tests right now
    CloseHandle(probe);
    if (existed) return false;

    // Of two starts that passed the test together, only the one that makes the mutex runs.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, m_name.c_str());
    if (!mutex) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex; // held until the process ends

    // The hand-over: the hidden window's handle, for a later start to post its request to.
    HWND window = makeMessageWindow(this);
    if (!window) return true; // this instance runs; a later start only cannot bring it forward
    m_window = window;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize,
                                        (m_name + ".Window").c_str());
    if (!mapping) return true;
    m_mapping = mapping;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(std::uint64_t))) {
        const auto handle = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
        std::memcpy(view, &handle, sizeof handle);
        UnmapViewOfFile(view);
    }
    return true;
}

bool NamedInstance::activateRunning() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, (m_name + ".Window").c_str());
    if (!mapping) return false;
    std::uint64_t handle = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof handle)) {
        std::memcpy(&handle, view, sizeof handle);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
    if (!window || !IsWindow(window)) return false;
    // This start is what the user just did, so it may hand the foreground on to the running one.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process) AllowSetForegroundWindow(process);
    return PostMessageA(window, activateMessage(), 0, 0) != 0;
}

void NamedInstance::activationRequested() {
    if (m_onActivation) m_onActivation();
}

} // namespace vantrel::platform::win32
