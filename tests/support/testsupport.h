#pragma once
// Helpers shared by the tests: a private folder per test and a data store opened in it.
#include "data/database.h"

#include <QByteArray>
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

} // namespace vantrel::test
