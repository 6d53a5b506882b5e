#include "core/settings.h"

#include "base/errors.h"

namespace vantrel {

using platform::SettingsStore;
using platform::StoredValue;

namespace {

// Each field with its stored name and kind; one table serves loading and saving alike.
enum class Kind { Bool, Int, Byte, Text };

struct Field {
    const char* name;
    Kind kind;
    bool Settings::*b = nullptr;
    int Settings::*i = nullptr;
    QString Settings::*t = nullptr;
};

Field boolField(const char* n, bool Settings::*m) {
    return {n, Kind::Bool, m, nullptr, nullptr};
}
Field intField(const char* n, int Settings::*m) {
    return {n, Kind::Int, nullptr, m, nullptr};
}
Field byteField(const char* n, int Settings::*m) {
    return {n, Kind::Byte, nullptr, m, nullptr};
}
Field textField(const char* n, QString Settings::*m) {
    return {n, Kind::Text, nullptr, nullptr, m};
}

const Field kGeneral[] = {
    boolField("AutoStart", &Settings::AutoStart),
    boolField("DisableNotifs", &Settings::DisableNotifs),
    byteField("PhoneFormat", &Settings::PhoneFormat),
    boolField("allowwake", &Settings::allowwake),
    boolField("UseSMTP", &Settings::UseSMTP),
    textField("SMTPServer", &Settings::SMTPServer),
    textField("ReplyToAddress", &Settings::ReplyToAddress),
    textField("SMTPUser", &Settings::SMTPUser),
    textField("SMTPPass", &Settings::SMTPPass),
};

const Field kWindow[] = {
    intField("Status", &Settings::Status),
    intField("Height", &Settings::Height),
    intField("Width", &Settings::Width),
    intField("Left", &Settings::Left),
    intField("Top", &Settings::Top),
    intField("precision", &Settings::precision),
    intField("dayview", &Settings::dayview),
    intField("sbwidth", &Settings::sbwidth),
    intField("medpan1h", &Settings::medpan1h),
    intField("medpan2h", &Settings::medpan2h),
    intField("docpan1h", &Settings::docpan1h),
    intField("docpan2h", &Settings::docpan2h),
    byteField("colorscheme", &Settings::colorscheme),
};

const Field kReminders[] = {
    boolField("RemindAgain", &Settings::RemindAgain),
    intField("RemindAgainMinutes", &Settings::RemindAgainMinutes),
    intField("RemindAgainTimes", &Settings::RemindAgainTimes),
    intField("CatchUpHours", &Settings::CatchUpHours),
    intField("ShowRemindersAs", &Settings::ShowRemindersAs),
};

// Reads one field into the record; throws SettingsError with the stored messages.
void readField(const SettingsStore& store, const char* key, const Field& f, Settings& s) {
    const auto v = store.value(key, f.name);
    if (!v) throw SettingsError(QStringLiteral("Failed to get data for '%1'").arg(f.name));
    const bool wantText = f.kind == Kind::Text;
    if ((v->type == StoredValue::Type::Text) != wantText)
        throw SettingsError(QStringLiteral("Invalid data type for '%1'").arg(f.name));
    switch (f.kind) {
    case Kind::Bool:
        s.*f.b = v->integer != 0;
        break;
    case Kind::Int:
        s.*f.i = static_cast<std::int32_t>(v->integer);
        break;
    case Kind::Byte:
        s.*f.i = static_cast<int>(v->integer & 0xFF);
        break;
    case Kind::Text:
        s.*f.t = QString::fromStdString(v->text);
        break;
    }
}

StoredValue toStored(const Field& f, const Settings& s) {
    switch (f.kind) {
    case Kind::Bool:
        return StoredValue::fromInteger(s.*f.b ? 1 : 0);
    case Kind::Int:
        return StoredValue::fromInteger(static_cast<std::uint32_t>(s.*f.i));
    case Kind::Byte:
        return StoredValue::fromInteger(static_cast<std::uint32_t>(s.*f.i & 0xFF));
    case Kind::Text:
        return StoredValue::fromText((s.*f.t).toStdString());
    }
    return {};
}

} // namespace

int defaultHeightFor(int screenHeight) {
    if (screenHeight > 700) return 680;
    if (screenHeight > 599) return 580;
    return 400;
}

void SetDefaultSettings(Settings& s, int screenHeight, const CountryLookup& country) {
    const int keptPhoneFormat = s.PhoneFormat;
    s = Settings{};
    s.Height = defaultHeightFor(screenHeight);
    s.PhoneFormat = keptPhoneFormat;
    try {
        const auto name = country ? country() : std::nullopt;
        s.PhoneFormat = (name && *name == "United States") ? 0 : 1;
    } catch (const std::exception&) {
        // An unreadable regional value keeps the format the record had.
    }
    s.allowwake = false;
}

std::optional<QString> LoadSettings(Settings& s, SettingsStore& store, QString* generalProblem) {
    store.createKey(kGeneralKey);
    try {
        for (const Field& f : kGeneral)
            readField(store, kGeneralKey, f, s);
    } catch (const SettingsError& e) {
        // The rest of the general group keeps what the record held.
        if (generalProblem) *generalProblem = e.message();
    }
    // Each value of the later group stands alone: one missing keeps its default without a word.
    std::optional<QString> mistyped;
    for (const Field& f : kReminders) {
        if (!store.value(kRemindersKey, f.name)) continue;
        try {
            Settings read = s;
            readField(store, kRemindersKey, f, read);
            s = read;
        } catch (const SettingsError& e) {
            if (!mistyped) mistyped = e.message();
        }
    }
    // A value written by hand outside what the options allow keeps its default, and is named.
    const Settings defaults;
    const struct {
        const char* name;
        int Settings::*member;
        int lowest, highest;
    } ranges[] = {{"RemindAgainMinutes", &Settings::RemindAgainMinutes, 1, Settings::kMostRemindAgainMinutes},
                  {"RemindAgainTimes", &Settings::RemindAgainTimes, 1, Settings::kMostRemindAgainTimes},
                  {"CatchUpHours", &Settings::CatchUpHours, 0, Settings::kMostCatchUpHours},
                  {"ShowRemindersAs", &Settings::ShowRemindersAs, 0, 2}};
    for (const auto& r : ranges) {
        if (s.*r.member >= r.lowest && s.*r.member <= r.highest) continue;
        s.*r.member = defaults.*r.member;
        if (!mistyped) mistyped = QStringLiteral("Invalid value for '%1'").arg(QLatin1String(r.name));
    }
    store.createKey(kWindowKey);
    try {
        for (const Field& f : kWindow)
            readField(store, kWindowKey, f, s);
    } catch (const SettingsError& e) {
        return e.message();
    }
    return mistyped;
}

void SaveSettings(const Settings& s, SettingsStore& store) {
    store.createKey(kGeneralKey);
    for (const Field& f : kGeneral)
        store.setValue(kGeneralKey, f.name, toStored(f, s));
    store.createKey(kWindowKey);
    for (const Field& f : kWindow)
        store.setValue(kWindowKey, f.name, toStored(f, s));
    store.createKey(kRemindersKey);
    for (const Field& f : kReminders)
        store.setValue(kRemindersKey, f.name, toStored(f, s));
    store.save();
}

void WriteRegValue(SettingsStore& store, const std::string& key, const std::string& name,
                   const StoredValue& value) {
    store.createKey(key);
    store.setValue(key, name, value);
    store.save();
}

void DeleteRegValue(SettingsStore& store, const std::string& key, const std::string& name) {
    if (!store.value(key, name)) return;
    store.removeValue(key, name);
    store.save();
}

void syncAutoStart(bool autoStart, platform::AutoStartEntry& entry, const QString& programPath,
                   bool ignoreDeleteErrors, const QString& dataDir) {
    if (autoStart) {
        std::vector<std::string> arguments;
        // A program started on its own data folder starts on the same one at logon.
        if (!dataDir.isEmpty()) arguments = {"--data-dir", dataDir.toStdString()};
        arguments.push_back("startup");
        entry.write(kAppTitle, programPath.toStdString(), arguments);
        return;
    }
    try {
        entry.remove(kAppTitle);
    } catch (const std::exception&) {
        if (!ignoreDeleteErrors) throw;
    }
}

} // namespace vantrel
