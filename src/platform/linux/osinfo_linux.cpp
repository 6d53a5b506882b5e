#include "platform/osinfo.h"

#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/utsname.h>

namespace vantrel::platform {

// Hiding to the notification area trims memory here as it does on the NT line.
bool isNTPlatform() {
    return true;
}

std::string osName() {
    utsname u{};
    if (::uname(&u) != 0) return {};
    return std::string(u.sysname) + " " + u.release;
}

std::string systemDir() {
    return "/usr/share";
}
std::string systemSoundDir() {
    return "/usr/share/sounds";
}

void trimWorkingSet() {
    ::malloc_trim(0);
}

void keepMemoryPrivate() {
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    // Not dumpable also means that no debugger of the same user may attach, and that /proc of
    // the process belongs to root. Nothing of the program needs either.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

} // namespace vantrel::platform
