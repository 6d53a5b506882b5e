// The Windows side of the platform layer, built with MinGW-w64 and run under Wine: the settings
// in the registry and the auto-start value. Plain C++, as the Windows side itself is; it ends
// with the line "N passed, N failed".
#include "platform/autostart.h"
#include "platform/country.h"
#include "platform/mailhandoff.h"
#include "platform/settingsstore.h"
#include "platform/waketimer.h"
#include "platform/win32/registrystore.h"

#include <cstdio>
#include <string>
#include <windows.h>

using namespace vantrel::platform;

namespace {
int passed = 0, failed = 0;

void check(bool ok, const char* what) {
    (ok ? passed : failed)++;
    if (!ok) std::printf("FAIL: %s\n", what);
}

void typedValuesRoundTrip() {
    auto store = openRegistrySettings();
    const std::string general = "SOFTWARE\\Vantrel\\Planner", window = "Software\\Vantrel\\Planner\\Main";
    store->createKey(general);
    check(store->keyExists(general), "the key exists once made");
    check(store->keyExists("software\\VANTREL\\planner"), "key names ignore letter case");
    store->setValue(general, "AutoStart", StoredValue::fromInteger(1));
    store->setValue(general, "SMTPServer", StoredValue::fromText("mail.example.org:587"));
    store->setValue(general, "SMTPPass", StoredValue::fromText("p\xc3\xa4ss;\"word\""));
    store->setValue(window, "Width", StoredValue::fromInteger(0xFFFFFFFF));
    auto reread = openRegistrySettings();
    check(reread->value(general, "AutoStart") == StoredValue::fromInteger(1), "a DWORD comes back");
    check(reread->value(general, "smtpserver") == StoredValue::fromText("mail.example.org:587"),
          "a text comes back");
    check(reread->value(general, "SMTPPass") == StoredValue::fromText("p\xc3\xa4ss;\"word\""),
          "UTF-8 survives");
    check(reread->value(window, "Width")->integer == 0xFFFFFFFF, "all 32 bits of a DWORD");
    check(!reread->value(general, "UseSMTP"), "a missing value is missing");
    // A value of the wrong type is told from a missing one.
    HKEY k;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vantrel\\Planner", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                    nullptr);
    const BYTE raw[] = {1, 2, 3};
    RegSetValueExW(k, L"Height", 0, REG_BINARY, raw, sizeof raw);
    RegCloseKey(k);
    const auto odd = reread->value(general, "Height");
    check(odd && odd->type == StoredValue::Type::Text, "a binary value reads as mistyped, not missing");
    reread->removeValue(general, "SMTPPass");
    reread->removeValue(general, "SMTPPass"); // a missing value is no error
    check(!openRegistrySettings()->value(general, "SMTPPass"), "a removed value is gone");
}

void theAutoStartValue() {
    auto entry = makeAutoStartEntry({});
    entry->write("Vantrel Planner", "C:\\Program Files\\Vantrel\\vantrel-planner.exe", {"startup"});
    check(entry->command("Vantrel Planner") ==
              std::string("\"C:\\Program Files\\Vantrel\\vantrel-planner.exe\" startup"),
          "a path with blanks is quoted, then \" startup\"");
    entry->write("Vantrel Planner", "C:\\vp.exe", {"--data-dir", "D:\\My Data", "startup"});
    check(entry->command("Vantrel Planner") == std::string("C:\\vp.exe --data-dir \"D:\\My Data\" startup"),
          "the data folder goes with it");
    auto run =
        openRegistrySettings()->value("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Vantrel Planner");
    check(run && run->type == StoredValue::Type::Text, "the value is under the Run key");
    entry->remove("Vantrel Planner");
    check(!entry->command("Vantrel Planner"), "removed when the setting is off");
    entry->remove("Vantrel Planner");
    check(true, "removing a missing entry is no error");
}
// The wake timer: armed a second ahead it fires; armed far ahead it does not.
void theWakeTimerFires() {
    std::string reason;
    auto timer = makeWakeTimer(reason);
    check(timer != nullptr, "a waitable timer can be made");
    if (!timer) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::int64_t nowMs =
        ((static_cast<std::int64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000LL) -
        11644473600000LL;
    std::string error;
    check(timer->arm(nowMs + 3600000, error), "armed an hour ahead");
    check(!timer->wait(200), "not due yet");
    check(timer->arm(nowMs + 500, error), "armed half a second ahead");
    bool fired = false;
    for (int i = 0; i < 30 && !fired; ++i)
        fired = timer->wait(100);
    check(fired, "it fires, waited on in 100 ms slices");
}

// The country for the phone format: the regional value when there is one.
void theRegionalCountry() {
    openRegistrySettings()->setValue("Control Panel\\International", "sCountry",
                                     StoredValue::fromText("United States"));
    check(regionalCountryName() == std::optional<std::string>("United States"), "sCountry is read");
    openRegistrySettings()->removeValue("Control Panel\\International", "sCountry");
    const auto fallback = regionalCountryName();
    check(!fallback || !fallback->empty(), "else the locale's country, or none");
}
// Simple MAPI is there only when the machine says so ("MAPI" = "1") and its library loads.
void theMapiLoader() {
    HKEY k;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, nullptr, 0,
                    KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, "MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(k);
    auto mail = makeMailHandOff();
    check(mail->available(), "with MAPI = 1 and mapi32 there, MAPI is available");
}
} // namespace

int main() {
    void (*const tests[])() = {typedValuesRoundTrip, theAutoStartValue, theWakeTimerFires, theRegionalCountry,
                               theMapiLoader};
    for (const auto test : tests) {
        try {
            test();
        } catch (const std::exception& e) {
            check(false, e.what());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
