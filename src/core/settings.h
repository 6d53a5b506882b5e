#pragma once
// The settings record: one field per stored value, read at start, changed in memory and
// written back only by SaveSettings.
#include "platform/autostart.h"
#include "platform/settingsstore.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace vantrel {

inline constexpr const char* kGeneralKey = "\\SOFTWARE\\Vantrel\\Planner";
inline constexpr const char* kWindowKey = "\\Software\\Vantrel\\Planner\\Main";
// The options that came after the first version, in a group of their own: a value missing there
// (any install from before) simply keeps its default.
inline constexpr const char* kRemindersKey = "\\Software\\Vantrel\\Planner\\Reminders";
inline constexpr const char* kAppTitle = "Vantrel Planner";

struct Settings {
    // General group, in the order written and read.
    bool AutoStart = true;
    bool DisableNotifs = false;
    int PhoneFormat = 1; // 0 = U.S. format, 1 = any other
    bool allowwake = false;
    bool UseSMTP = false;
    QString SMTPServer;
    QString ReplyToAddress;
    QString SMTPUser;
    QString SMTPPass;

    // Window group, in the order written and read.
    int Status = 0;
    int Height = 680;
    int Width = 600;
    int Left = 50;
    int Top = 50;
    int precision = 30;
    int dayview = 3;
    int sbwidth = 90;
    int medpan1h = 120;
    int medpan2h = 120;
    int docpan1h = 120;
    int docpan2h = 120;
    int colorscheme = 0;

    // Reminders group.
    // The bounds the options allow.
    static constexpr int kMostRemindAgainMinutes = 240;
    static constexpr int kMostRemindAgainTimes = 20;
    static constexpr int kMostCatchUpHours = 72;
    bool RemindAgain = false;    // a dose not answered is reminded again
    int RemindAgainMinutes = 10; // every so many minutes
    int RemindAgainTimes = 3;    // at most so many times
    int CatchUpHours = 12;       // at start, reminders missed in so many hours are listed (0: none)
    int ShowRemindersAs = 2;     // 0 the program's window, 1 a desktop notification, 2 both

    bool operator==(const Settings&) const = default;
};

using CountryLookup = std::function<std::optional<std::string>()>;

int defaultHeightFor(int screenHeight);
void SetDefaultSettings(Settings& s, int screenHeight, const CountryLookup& country);

// Reads both groups. The general group stops at its first missing or mistyped value, keeping
// what the record held for the rest. A missing or mistyped window value does not stop the
// program: the values not read keep their defaults and the text of the problem is returned,
// for the caller to show as a warning.
// A value of the general group that is missing or mistyped also stops its group's reading; its
// message goes to `generalProblem` when given.
std::optional<QString> LoadSettings(Settings& s, platform::SettingsStore& store,
                                    QString* generalProblem = nullptr);
void SaveSettings(const Settings& s, platform::SettingsStore& store);

void WriteRegValue(platform::SettingsStore& store, const std::string& key, const std::string& name,
                   const platform::StoredValue& value);
void DeleteRegValue(platform::SettingsStore& store, const std::string& key, const std::string& name);

// Keeps the logon entry in step with AutoStart: written (with the program's current path) when
// on, deleted when off. Errors of writing are thrown; errors of deleting only when asked. A data
// folder given on the command line goes into the entry too.
void syncAutoStart(bool autoStart, platform::AutoStartEntry& entry, const QString& programPath,
                   bool ignoreDeleteErrors, const QString& dataDir = {});

} // namespace vantrel
