#include "session/context.h"

#include "base/errors.h"
#include "core/shared.h"
#include "platform/qt/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantrel {

namespace {
Context* g_current = nullptr;
} // namespace

Context::Context() : m_previous(g_current) {
    g_current = this;
}

Context::~Context() {
    if (g_current == this) g_current = m_previous;
}

Context* Context::current() {
    return g_current;
}

namespace {
// The program marks the temp folder it makes, so that it never empties a folder of someone else's.
const QString kTempMark = QStringLiteral(".vantrel-temp");

bool isOurTempFolder(const QString& folder) {
    return QFileInfo::exists(QDir(folder).filePath(kTempMark));
}
} // namespace

QString Context::tempDir() const {
    // "temp" when it is ours or not there yet; a folder of that name that the program did not
    // make is left alone, and one of its own name is used beside it.
    const QString usual = QDir(DataDir).filePath(QStringLiteral("temp"));
    if (!QFileInfo::exists(usual) || isOurTempFolder(usual)) return usual;
    return QDir(DataDir).filePath(QStringLiteral("vantrel-temp"));
}

void Context::clearTempDir() const {
    const QString folder = tempDir();
    if (isOurTempFolder(folder)) ClearTempFolder(folder);
}

QString Context::makeTempDir() const {
    const QString folder = tempDir();
    if (isOurTempFolder(folder)) return folder;
    if (QFileInfo::exists(folder) || !platform::makePrivatePath(folder))
        throw PlatformError(
            QStringLiteral("The temp folder \"%1\" cannot be made.").arg(QDir::toNativeSeparators(folder)));
    QFile mark(QDir(folder).filePath(kTempMark));
    if (mark.open(QIODevice::WriteOnly)) mark.setPermissions(platform::kOwnerOnly);
    return folder;
}

QString choosePagesDir(const QString& programDir) {
    if (QFileInfo::exists(programDir + QStringLiteral("web/index.html"))) return programDir;
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("../share/vantrel-planner")) + QLatin1Char('/');
    return QFileInfo::exists(installed + QStringLiteral("web/index.html")) ? installed : programDir;
}

QString chooseDataDir(const QString& requested, const QString& programDir, const QString& userDataDir) {
    if (!requested.isEmpty()) return QDir(requested).absolutePath();
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable()) return QDir(programDir).absolutePath();
    return QDir(userDataDir).absolutePath();
}

} // namespace vantrel
