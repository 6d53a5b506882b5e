#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <unistd.h>

namespace vantrel::test {

Sandbox::Sandbox() {
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(path(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("run")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", path(QStringLiteral("share")).toLocal8Bit());
}

QString Sandbox::path(const QString& name) const {
    return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

namespace {
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;
} // namespace

bool runningAsRoot() {
    return ::geteuid() == 0;
}

void startUnprivileged(QProcess& process, const QString& program, const QStringList& arguments) {
    if (!runningAsRoot()) {
        process.start(program, arguments);
        return;
    }
    process.start(QStringLiteral("setpriv"),
                  QStringList{QStringLiteral("--reuid=%1").arg(kNobody),
                              QStringLiteral("--regid=%1").arg(kNogroup), QStringLiteral("--clear-groups"),
                              QStringLiteral("--"), program} +
                      arguments);
}

void handToUnprivileged(const QString& folder) {
    if (!runningAsRoot()) return;
    const auto give = [](const QString& path) {
        if (::chown(QFile::encodeName(path).constData(), kNobody, kNogroup) != 0)
            qWarning("cannot chown %s", qPrintable(path));
    };
    give(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        give(it.next());
}

} // namespace vantrel::test
