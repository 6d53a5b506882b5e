#pragma once
// The process-wide state of one run. Tests build a fresh one each.
#include "core/clock.h"
#include "core/settings.h"
#include "data/database.h"
#include "platform/autostart.h"
#include "platform/settingsstore.h"

#include <QString>
#include <memory>

namespace vantrel {

struct Context {
    QString ProgramDir;  // the program's own folder, with its trailing separator
    QString ProgramPath; // the program file
    QString DataDir;     // where the tables and the temp folder live
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

    QString tempDir() const;
    void saveSettings() { SaveSettings(settings, *store); }
};

// Where the tables go: the given folder when there is one, else the program's folder when it
// is writable, else the per-user data folder.
QString chooseDataDir(const QString& requested, const QString& programDir, const QString& userDataDir);

} // namespace vantrel
