#include "core/context.h"

#include <QDir>
#include <QFileInfo>

namespace vantrel {

QString Context::tempDir() const {
    return QDir(DataDir).filePath(QStringLiteral("temp"));
}

QString chooseDataDir(const QString& requested, const QString& programDir, const QString& userDataDir) {
    if (!requested.isEmpty()) return QDir(requested).absolutePath();
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable()) return QDir(programDir).absolutePath();
    return QDir(userDataDir).absolutePath();
}

} // namespace vantrel
