#include "core/options.h"

#include "core/shared.h"

#include <QCommandLineParser>

namespace vantrel {

StartupOptions parseArguments(const QStringList& arguments) {
    StartupOptions o;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QString(), QStringLiteral("DIR"));
    parser.addOptions({help, version, dataDir});
    if (!parser.parse(arguments)) {
        o.error = parser.errorText();
        return o;
    }
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    // "startup" may stand anywhere among the plain words, in any letter case.
    o.hidden = hasStartupArgument(parser.positionalArguments());
    if (parser.isSet(dataDir)) {
        o.dataDir = parser.value(dataDir);
        if (o.dataDir.isEmpty()) o.error = QStringLiteral("--data-dir needs a folder");
    }
    return o;
}

QString usageText() {
    return QStringLiteral("Usage: vantrel-planner [startup] [--data-dir DIR]\n"
                          "Reminds a household of its doctor appointments and medicine doses.\n\n"
                          "  startup         start hidden in the notification area (any letter case)\n"
                          "  --data-dir DIR  keep the tables in DIR instead of the program's folder\n"
                          "  --help          show this text\n"
                          "  --version       show the program's version\n");
}

} // namespace vantrel
