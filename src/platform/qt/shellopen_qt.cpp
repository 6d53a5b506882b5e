#include "platform/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vantrel::platform {

bool openWithDesktop(const QString& target) {
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace vantrel::platform
