#pragma once
#include <QString>

namespace vantrel::platform {

// Opens a web address or a file with the desktop's handler; false when nothing took it.
bool openWithDesktop(const QString& target);

} // namespace vantrel::platform
