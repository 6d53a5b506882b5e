#include "platform/qt/savefile.h"

#include "base/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace vantrel::platform {

bool makePrivatePath(const QString& folder) {
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(path).isDir()) return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !makePrivatePath(parent)) return false;
    return QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) ||
           QFileInfo(path).isDir();
}

void saveFileAtomically(const QString& path, const QByteArray& data, QFileDevice::Permissions permissions,
                        const QString& what) {
    const QString folder = QFileInfo(path).path();
    if (!makePrivatePath(folder))
        throw PlatformError(
            QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(folder)));
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        file.cancelWriting();
        throw PlatformError(
            QStringLiteral("Cannot write %1: %2. The file was left as it was.").arg(what, reason));
    };
    // Unbuffered, so a write that fails (a full disk) fails here, where it is seen: a buffered
    // one would fail only when the file is closed, and an empty file would take the old one's
    // place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail(file.errorString());
    if (!file.setPermissions(permissions)) fail(file.errorString());
    if (file.write(data) != data.size() || file.error() != QFileDevice::NoError) fail(file.errorString());
    if (!file.flush() || file.error() != QFileDevice::NoError) fail(file.errorString());
    if (!file.commit())
        throw PlatformError(QStringLiteral("Cannot write %1: %2. The file was left as it was.")
                                .arg(what, file.errorString()));
}

} // namespace vantrel::platform
