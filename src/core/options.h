#pragma once
// The command line.
#include <QString>
#include <QStringList>

namespace vantrel {

struct StartupOptions {
    bool help = false;
    bool version = false;
    bool hidden = false; // "startup" in any letter case, anywhere
    QString dataDir;
    QString error;
};

StartupOptions parseArguments(const QStringList& arguments);
QString usageText();

} // namespace vantrel
