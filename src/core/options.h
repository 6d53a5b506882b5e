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
    // A task of the command line, done on the tables without a window, after which the program
    // ends: --export-ics FILE, --import-ics FILE, --print-pdf FILE, each with --profile NAME
    // (needed for the import and the list, optional for the export).
    enum class Task { None, ExportCalendar, ImportCalendar, PrintList };
    Task task = Task::None;
    QString taskFile;
    QString profile;
    QString error;
};

StartupOptions parseArguments(const QStringList& arguments);
QString usageText();

} // namespace vantrel
