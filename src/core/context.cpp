#include "core/context.h"

#include <QDir>
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
