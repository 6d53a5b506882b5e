#pragma once
#include <string>

namespace vantrel::platform {

// True on systems of the NT line (and their counterparts elsewhere), where hiding the window
// should also give memory back to the system.
bool isNTPlatform();
// A short name of the running operating system.
std::string osName();
// The system's own directory; the system sound folder lies below it.
std::string systemDir();
std::string systemSoundDir();
// Gives unused heap memory back to the operating system.
void trimWorkingSet();
// The program's memory holds the SMTP password: no core dump is written of it, and (where that
// harms nothing) no other process of the user may read it.
void keepMemoryPrivate();

} // namespace vantrel::platform
