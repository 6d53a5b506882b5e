#pragma once
#include <string>

namespace vantrel::platform::win32 {

// The system's name from its version record: the platform (1 for the 95 line, 2 for NT), the
// major version and the build-number field, whose high bytes the 95 line fills with its version.
std::string osNameFor(unsigned long platformId, unsigned long majorVersion, unsigned long buildNumber);

} // namespace vantrel::platform::win32
