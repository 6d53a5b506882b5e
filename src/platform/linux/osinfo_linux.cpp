#include "platform/osinfo.h"

#include <malloc.h>
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

} // namespace vantrel::platform
