#include "platform/win32/osinfo_win32.h"
#include "platform/osinfo.h"

#include <windows.h>

namespace vantrel::platform {

namespace win32 {

std::string osNameFor(unsigned long platformId, unsigned long majorVersion, unsigned long buildNumber) {
    const unsigned long m = (buildNumber >> 24) & 0xFF, n = (buildNumber >> 16) & 0xFF;
    if (platformId == VER_PLATFORM_WIN32_NT)
        // The NT line keeps only the build in that field, so its version is read where it stands.
        return majorVersion >= 5 || m >= 5 ? "Windows 2000" : "Windows NT";
    if (platformId != VER_PLATFORM_WIN32_WINDOWS) return {};
    std::string name;
    if (n >= 90 || m >= 5) name = "Windows Millennium";
    if (n >= 10 && n < 90) name = "Windows 98";
    if (n < 10) name = "Windows 95";
    return name;
}

} // namespace win32

namespace {
bool versionInfo(OSVERSIONINFOA& info) {
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    // Still the call that tells the 95 line from NT; newer compilers mark it as outdated.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    return GetVersionExA(&info) != 0;
}
} // namespace

bool isNTPlatform() {
    OSVERSIONINFOA info;
    return versionInfo(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string osName() {
    OSVERSIONINFOA info;
    if (!versionInfo(info)) return {};
    return win32::osNameFor(info.dwPlatformId, info.dwMajorVersion, info.dwBuildNumber);
}

std::string systemDir() {
    char dir[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string("C:\\Windows");
}

std::string systemSoundDir() {
    return systemDir() + "\\Media";
}

void trimWorkingSet() {
    HANDLE self = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
    if (!self) return;
    // Both limits all ones: as many pages as the system can take go back to it.
    SetProcessWorkingSetSize(self, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    CloseHandle(self);
}

void keepMemoryPrivate() {
    // No crash box offers to send the memory anywhere; Windows Error Reporting writes no dump of
    // its own without the user's settings asking for one.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_NOGPFAULTERRORBOX);
}

} // namespace vantrel::platform
