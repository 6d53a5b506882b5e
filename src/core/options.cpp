#include "core/options.h"

#include "core/shared.h"

namespace vantrel {

StartupOptions parseArguments(const QStringList& arguments) {
    StartupOptions o;
    o.hidden = hasStartupArgument(arguments);
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--data-dir")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                o.error = QStringLiteral("--data-dir needs a folder");
                break;
            }
            o.dataDir = arguments[++i];
        } else if (a.startsWith(QLatin1String("--data-dir="))) {
            o.dataDir = a.mid(11);
            if (o.dataDir.isEmpty()) o.error = QStringLiteral("--data-dir needs a folder");
        } else if (a.startsWith(QLatin1String("-"))) {
            o.error = QStringLiteral("unknown option %1").arg(a);
        }
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
