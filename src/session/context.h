#pragma once
// The process-wide state of one run. Tests build a fresh one each.
#include "core/clock.h"
#include "core/settings.h"
#include "data/database.h"
#include "platform/audio.h"
#include "platform/autostart.h"
#include "platform/settingsstore.h"
#include "platform/waketimer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

// Stand-ins for the desktop that tests put in place. They belong to one Context, so no test
// inherits another's, and the program's own Context has none.
struct TestHooks {
    bool answerMessages = false; // no box is shown: the queued answer, else the default, is taken
    QList<int> answers;          // the next answers, as message-box button values
    QStringList shown;           // the text of every message, in order
    std::optional<bool> trayAvailable;
    std::function<bool(const QString&)> desktopOpener;
    std::function<std::unique_ptr<platform::AudioPlayer>()> playerFactory;
    QStringList nextFileNames; // the answers of the next open-file dialogs; empty means Cancel
    std::function<std::unique_ptr<platform::WakeTimer>(std::string&)> wakeTimerFactory;
};

struct Context {
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // The Context of the run (in a test, the newest one alive); null when there is none.
    static Context* current();

    QString ProgramDir;   // the program's own folder, with its trailing separator
    QString PagesDir;     // where the welcome and help pages are, with its trailing separator
    QString ProgramPath;  // the program file
    QString DataDir;      // where the tables and the temp folder live
    QString DataDirGiven; // the folder given with --data-dir, empty when none was
    Settings settings;
    std::unique_ptr<platform::SettingsStore> store;
    std::unique_ptr<platform::AutoStartEntry> autoStart;
    std::unique_ptr<Clock> clock = std::make_unique<SystemClock>();
    data::Database db;

    int CurrentPatientRef = -1;
    bool NotifsLoaded = false;
    int ShowCount = 0;
    bool MainShown = false;
    bool ExitRequested = false;
    bool SessionEnding = false;
    bool SoundFailureTold = false; // the first sound that could not play in a run is also said in a box
    bool DiskFullTold = false;     // a full disk under the tables is said once a run

    // What start-up has to tell the user. No box may hold the start up, so these are shown,
    // without waiting, once the reminders run and anything due has been raised.
    struct Notice {
        bool error = false;
        QString text;
    };
    QList<Notice> startNotices;
    void tellAtStart(const QString& text, bool error = false) { startNotices.append({error, text}); }

    TestHooks hooks;

    QString tempDir() const;
    // Makes the temp folder (private, and marked as the program's) where it is not there yet.
    QString makeTempDir() const;
    // Empties the temp folder of its files, when it is the program's own.
    void clearTempDir() const;
    void saveSettings() { SaveSettings(settings, *store); }
    // Writes or deletes the logon entry as AutoStart says.
    void syncAutoStart(bool ignoreDeleteErrors) {
        vantrel::syncAutoStart(settings.AutoStart, *autoStart, ProgramPath, ignoreDeleteErrors, DataDirGiven);
    }

private:
    Context* m_previous;
};

// Where the tables go: the given folder when there is one, else the program's folder when it
// is writable, else the per-user data folder.
QString chooseDataDir(const QString& requested, const QString& programDir, const QString& userDataDir);
// The pages beside the program (a build), else under ../share/vantrel-planner/ (installed).
QString choosePagesDir(const QString& programDir);

} // namespace vantrel
