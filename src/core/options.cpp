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
    const QCommandLineOption exportIcs(QStringLiteral("export-ics"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption importIcs(QStringLiteral("import-ics"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption printPdf(QStringLiteral("print-pdf"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption profile(QStringLiteral("profile"), QString(), QStringLiteral("NAME"));
    parser.addOptions({help, version, dataDir, exportIcs, importIcs, printPdf, profile});
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
    using Task = StartupOptions::Task;
    for (const auto& [option, task] : {std::pair{&exportIcs, Task::ExportCalendar}, std::pair{&importIcs, Task::ImportCalendar},
                                       std::pair{&printPdf, Task::PrintList}}) {
        if (!parser.isSet(*option)) continue;
        if (o.task != Task::None) {
            o.error = QStringLiteral("--export-ics, --import-ics and --print-pdf go one at a time");
            return o;
        }
        o.task = task;
        o.taskFile = parser.value(*option);
        if (o.taskFile.isEmpty()) o.error = QStringLiteral("--%1 needs a file").arg(option->names().first());
    }
    if (parser.isSet(profile)) o.profile = parser.value(profile);
    if (o.error.isEmpty() && o.profile.isEmpty() && (o.task == Task::ImportCalendar || o.task == Task::PrintList))
        o.error = QStringLiteral("--%1 needs --profile NAME")
                      .arg(o.task == Task::ImportCalendar ? QStringLiteral("import-ics") : QStringLiteral("print-pdf"));
    if (o.error.isEmpty() && !o.profile.isEmpty() && o.task == Task::None)
        o.error = QStringLiteral("--profile goes with --export-ics, --import-ics or --print-pdf");
    return o;
}

QString usageText() {
    return QStringLiteral(
        "Usage: vantrel-planner [startup] [--data-dir DIR]\n"
        "       vantrel-planner [--data-dir DIR] --export-ics FILE [--profile NAME]\n"
        "       vantrel-planner [--data-dir DIR] --import-ics FILE --profile NAME\n"
        "       vantrel-planner [--data-dir DIR] --print-pdf FILE --profile NAME\n"
        "Reminds a household of its doctor appointments and medicine doses.\n\n"
        "  startup            start hidden in the notification area (any letter case)\n"
        "  --data-dir DIR     keep the tables in DIR instead of the program's folder\n"
        "  --export-ics FILE  write the plans (of the profile, or of all) as an iCalendar file\n"
        "  --import-ics FILE  add the events of an iCalendar file to the profile's plans\n"
        "  --print-pdf FILE   write the profile's medicine list as a PDF file\n"
        "  --profile NAME     the profile, by its name\n"
        "  --help             show this text\n"
        "  --version          show the program's version\n");
}

} // namespace vantrel
