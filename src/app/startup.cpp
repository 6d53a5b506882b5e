#include "app/startup.h"

#include "app/application.h"
#include "app/commandtasks.h"
#include "app/mainwindow.h"
#include "base/errors.h"
#include "base/logging.h"
#include "base/version.h"
#include "core/shared.h"
#include "data/database.h"
#include "platform/country.h"
#include "platform/osinfo.h"
#include "platform/qt/savefile.h"
#include "platform/singleinstance.h"
#include "session/context.h"
#include "ui/messages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace vantrel {

namespace {

QString defaultSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Vantrel/planner.reg");
}

QString configDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// A settings file that could not be read whole is kept aside, private like the file itself,
// before anything overwrites it. Returns the copy's path.
QString keepDamagedCopy(const QString& path) {
    const QString copy = path + QStringLiteral(".damaged");
    QFile::remove(copy);
    QFile::copy(path, copy);
    QFile::setPermissions(copy, platform::kOwnerOnly);
    return copy;
}

void reportDamagedSettings(Context& ctx, const QString& path, const QString& problem) {
    const QString copy = keepDamagedCopy(path);
    ctx.tellAtStart(QStringLiteral("The settings file \"%1\" is damaged (%2).\nA copy was kept as \"%3\"; "
                                   "settings that could not be read have their default values.")
                        .arg(QDir::toNativeSeparators(path), problem, QDir::toNativeSeparators(copy)));
}

} // namespace

void loadOrCreateSettings(Context& ctx, int screenHeight, const QString& path, const CountryLookup& lookup) {
    const CountryLookup country = lookup ? lookup : [] { return platform::regionalCountryName(); };
    SetDefaultSettings(ctx.settings, screenHeight, country);
    ctx.store = platform::openSettingsFile(path.toStdString());
    if (ctx.store->unreadable()) {
        ctx.tellAtStart(QStringLiteral("The settings file \"%1\" cannot be read. It is left as it is, "
                                       "the default settings are used, and nothing is saved to it "
                                       "until the program is started again.")
                            .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!ctx.store->loadProblem().empty())
        reportDamagedSettings(ctx, path, QString::fromStdString(ctx.store->loadProblem()));
    if (ctx.store->keyExists(kGeneralKey)) {
        QString generalProblem;
        const auto warning = LoadSettings(ctx.settings, *ctx.store, &generalProblem);
        // Before anything is written over a file with a wrong value, a copy of it is kept.
        if ((warning || !generalProblem.isEmpty()) && ctx.store->loadProblem().empty()) {
            const QString copy = keepDamagedCopy(path);
            if (!generalProblem.isEmpty())
                ctx.tellAtStart(
                    QStringLiteral("%1 in the settings file \"%2\". It and the general settings "
                                   "after it have their default values; a copy of the file "
                                   "was kept as \"%3\".")
                        .arg(generalProblem, QDir::toNativeSeparators(path), QDir::toNativeSeparators(copy)));
        }
        if (warning) ctx.tellAtStart(*warning);
        return;
    }
    // First run: the defaults are written at once, so the store holds a full set from now on.
    SetDefaultSettings(ctx.settings, screenHeight, country);
    try {
        ctx.saveSettings();
    } catch (const std::exception& e) {
        ctx.tellAtStart(errorText(e), true);
    }
}

void setUpContext(Context& ctx, const ContextSetup& setup) {
    ctx.ProgramDir = setup.programDir;
    ctx.PagesDir = choosePagesDir(setup.programDir);
    qCDebug(lcStartup).noquote() << "pages from" << ctx.PagesDir;
    loadOrCreateSettings(ctx, setup.screenHeight, setup.settingsFile, setup.country);
    ctx.autoStart = platform::makeAutoStartEntry(setup.configDir.toStdString());
    ctx.DataDir = chooseDataDir(setup.requestedDataDir, setup.programDir, setup.userDataDir);
    if (!setup.requestedDataDir.isEmpty()) ctx.DataDirGiven = ctx.DataDir;
}

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Planner"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
}

ContextSetup systemSetup(const QString& requestedDataDir) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ContextSetup setup;
    setup.programDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    setup.settingsFile = defaultSettingsFile();
    setup.configDir = configDir();
    setup.requestedDataDir = requestedDataDir;
    setup.userDataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    setup.screenHeight = screen ? screen->geometry().height() : 768;
    return setup;
}

int runPlanner(int argc, char** argv) {
    startupStep("start");
    // The command line is read before anything needs a display, so --help works anywhere.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartupOptions options = parseArguments(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "vantrel-planner: %s\n%s", qPrintable(options.error), qPrintable(usageText()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("Vantrel Planner %s\n", VANTREL_VERSION);
        return 0;
    }

    // The SMTP password will live in this process's memory: keep it out of core dumps first.
    platform::keepMemoryPrivate();
    if (options.task != StartupOptions::Task::None) return runCommandTask(options, argc, argv);
    Application app(argc, argv);
    startupStep("application made");
    nameApplication();

    // A second start in the same session only asks the running one to come forward.
    platform::SingleInstance instance(QStringLiteral("VantrelPlanner"));
    try {
        if (platform::AlreadyRunning(instance, true)) return 0;
    } catch (const PlatformError& e) {
        // Never ends in silence: the terminal and the user are told why.
        std::fprintf(stderr, "vantrel-planner: %s\n", e.what());
        Messages::error(nullptr, e.message());
        return 1;
    }

    startupStep("single instance held");
    // Dates and times are written month first with "/" whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    Context ctx;
    app.setQuitOnLastWindowClosed(false);
    setUpContext(ctx, systemSetup(options.dataDir));
    startupStep("settings read");

    // One program on a data folder, whatever session it runs in.
    const auto stopStart = [](const QString& text) {
        std::fprintf(stderr, "vantrel-planner: %s\n", qPrintable(text));
        Messages::error(nullptr, text);
        return 1;
    };
    try {
        data::Database::prepareFolder(ctx.DataDir);
    } catch (const std::exception& e) {
        return stopStart(errorText(e));
    }
    platform::DataFolderLock folderLock(ctx.DataDir);
    if (!folderLock.tryLock())
        return stopStart(
            QStringLiteral("Vantrel Planner is already running on the tables in \"%1\" (process %2), "
                           "perhaps in another session. This start ends and leaves them to it.")
                .arg(QDir::toNativeSeparators(ctx.DataDir))
                .arg(folderLock.holder()));

    startupStep("data folder locked");
    TfrmMain mainWindow(ctx);
    startupStep("main window made");
    try {
        mainWindow.FormCreate();
    } catch (const std::exception& e) {
        // Without its tables the program cannot remind anyone: say so and stop, touching nothing.
        return stopStart(errorText(e));
    }
    QObject::connect(&instance, &platform::SingleInstance::activationRequested, &mainWindow,
                     &TfrmMain::showFromNotificationArea);
    mainWindow.startShown(!options.hidden);
    startupStep(options.hidden ? "started hidden" : "window shown");
    // The first tick comes as soon as the loop runs, not a second later: a reminder due at the
    // start (a logon at the time of a dose) is raised at once.
    QTimer::singleShot(0, &mainWindow, &TfrmMain::notiftimerTimer);
    return app.exec();
}

} // namespace vantrel
