#pragma once
// Helpers shared by the tests: a private folder per test and a data store opened in it.
#include "data/database.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace vantrel::test {

// A scratch folder with its own configuration and runtime folders, so nothing of the real
// user is read or written.
class Sandbox {
public:
    Sandbox();
    QString path(const QString& name = {}) const;
    QString dataDir() const { return path(QStringLiteral("data")); }
    QString configDir() const { return path(QStringLiteral("config")); }
    QString settingsFile() const { return configDir() + QStringLiteral("/Vantrel/planner.reg"); }

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString& file);
void writeAll(const QString& file, const QByteArray& bytes);

// Root reads and writes any file and so hides faults of file modes and read-only opens. Run as
// root, the tests start the program under test as "nobody" instead, on folders handed to it.
bool runningAsRoot();
// Starts the program as the test's own user, or as "nobody" when that is root.
void startUnprivileged(QProcess& process, const QString& program, const QStringList& arguments);
// Gives the folder and everything below it to "nobody" when the test runs as root.
void handToUnprivileged(const QString& folder);

} // namespace vantrel::test
