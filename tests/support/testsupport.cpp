#include "support/testsupport.h"

#include <QDir>
#include <QFile>

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

} // namespace vantrel::test
