#include "app/commandtasks.h"

#include "app/calendartransfer.h"
#include "app/startup.h"
#include "base/errors.h"
#include "data/database.h"
#include "data/profiles.h"
#include "platform/qt/savefile.h"
#include "platform/singleinstance.h"
#include "plans/calendarimport.h"
#include "plans/icalendar.h"
#include "plans/medicinelist.h"
#include "plans/planstore.h"
#include "session/context.h"
#include "ui/printedlist.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTimeZone>
#include <cstdio>

namespace vantrel {

namespace {

// The key of the profile of that name; throws naming it when there is none.
int profileOrFail(data::Database& db, const QString& name) {
    const auto key = data::profileNamed(db, name);
    if (!key) throw DataError(QStringLiteral("There is no profile named \"%1\".").arg(name));
    return *key;
}

QString shown(const QString& file) {
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

int exportCalendarTo(Context& ctx, const StartupOptions& o) {
    std::optional<int> profile;
    if (!o.profile.isEmpty()) profile = profileOrFail(ctx.db, o.profile);
    const QList<plans::Plan> all = plans::PlanStore(ctx.db).loadAll(profile);
    int leftOut = 0;
    const QByteArray ics =
        plans::exportCalendar(all, QString::fromUtf8(QTimeZone::systemTimeZoneId()), &leftOut);
    platform::saveFileAtomically(o.taskFile, ics, platform::kOwnerOnly, QStringLiteral("the calendar"));
    std::printf("%s\n", qPrintable(CalendarTransfer::exportedText(static_cast<int>(all.size()) - leftOut, leftOut,
                                                                  QFileInfo(o.taskFile).absoluteFilePath())));
    return 0;
}


int importCalendarFrom(Context& ctx, const StartupOptions& o) {
    const int profile = profileOrFail(ctx.db, o.profile);
    const plans::ParsedCalendar parsed = plans::parseCalendar(CalendarTransfer::readCalendarFile(o.taskFile));
    if (!parsed.problem.isEmpty()) throw DataError(parsed.problem + QStringLiteral(" Nothing was imported."));
    const plans::ImportReport report = plans::importCalendar(ctx.db, parsed, profile, ctx.clock->nowValue());
    std::printf("%s\n", qPrintable(plans::reportText(report)));
    return report.refused.isEmpty() ? 0 : 3;
}

int printListTo(Context& ctx, const StartupOptions& o) {
    const int profile = profileOrFail(ctx.db, o.profile);
    saveMedicineListPdf(plans::medicineList(ctx.db, profile, ctx.clock->nowValue()), o.taskFile);
    std::printf("%s\n", qPrintable(QStringLiteral("The medicine list of %1 was written to %2.")
                                       .arg(o.profile, shown(o.taskFile))));
    return 0;
}

} // namespace

int runCommandTask(const StartupOptions& o, int argc, char** argv) {
    // No window is shown: the list is set for a file, with the fonts of any display or none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    nameApplication();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    try {
        Context ctx;
        setUpContext(ctx, systemSetup(o.dataDir));
        data::Database::prepareFolder(ctx.DataDir);
        // The tables belong to one program at a time: opening them tidies and may upgrade them,
        // which must never run beside a planner at work on them, and a running planner would not
        // know of plans written behind its back.
        platform::DataFolderLock lock(ctx.DataDir);
        if (!lock.tryLock())
            throw DataError(QStringLiteral("Vantrel Planner is running on the tables in \"%1\". Use its File "
                                           "menu, or end it and try again.")
                                .arg(QDir::toNativeSeparators(ctx.DataDir)));
        ctx.db.open(ctx.DataDir);
        switch (o.task) {
        case StartupOptions::Task::ExportCalendar: return exportCalendarTo(ctx, o);
        case StartupOptions::Task::ImportCalendar: return importCalendarFrom(ctx, o);
        case StartupOptions::Task::PrintList: return printListTo(ctx, o);
        case StartupOptions::Task::None: break;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrel-planner: %s\n", qPrintable(errorText(e)));
        return 1;
    }
    return 0;
}

} // namespace vantrel
