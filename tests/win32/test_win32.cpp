// The Windows side of the platform layer, built with MinGW-w64 and run under Wine. Plain C++, as
// the Windows side itself is; it ends with the line "N passed, N failed". Started with
// "--second NAME" it plays a later start of the program.
#include "platform/autostart.h"
#include "platform/country.h"
#include "platform/mailhandoff.h"
#include "platform/osinfo.h"
#include "platform/settingsstore.h"
#include "platform/waketimer.h"
#include "platform/win32/instance_win32.h"
#include "platform/win32/osinfo_win32.h"
#include "platform/win32/registrystore.h"
#include "platform/win32/systemevents_win32.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

using namespace vantrel::platform;

namespace {
int passed = 0, failed = 0;

void check(bool ok, const char* what) {
    (ok ? passed : failed)++;
    if (!ok) std::printf("FAIL: %s\n", what);
}

void serveMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Runs this program again with the arguments and gives its exit code, serving this thread's
// windows while it runs.
DWORD runSelf(const std::string& arguments) {
    std::string line = "\"" + ownPath() + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFF;
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 30000, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break;
        serveMessages();
    }
    DWORD code = 0xFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// Exit codes of a later start, played by this program.
constexpr DWORD kSecondRan = 1, kSecondFoundIt = 2, kSecondHandedOver = 3;

int secondStart(const char* name) {
    vantrel::platform::win32::NamedInstance instance(name);
    if (instance.claim()) return kSecondRan;
    return instance.activateRunning() ? kSecondHandedOver : kSecondFoundIt;
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
// The single instance: while one holds the name, a later start, here or in another process, does
// not run and hands over to the first; once it is gone, the next start runs.
void oneInstanceAtATime() {
    using vantrel::platform::win32::NamedInstance;
    const char* name = "VantrelPlannerTest";
    int activations = 0;
    {
        NamedInstance first(name);
        first.onActivation([&] { ++activations; });
        check(first.claim(), "the first start holds the instance");
        check(!NamedInstance(name).claim(), "a second claim in the same process is refused");
        check(runSelf(std::string("--second ") + name) == kSecondHandedOver,
              "a second process finds the mutex and posts its request");
        serveMessages();
        check(activations == 1, "the first instance hears the request once");
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
        check(mutex != nullptr, "the mutex carries the name");
        if (mutex) CloseHandle(mutex);
    }
    check(runSelf(std::string("--second ") + name) == kSecondRan, "with the first gone, the next start runs");
    check(NamedInstance(name).claim(), "and so does one here");
}

// Power broadcasts and the end of the session reach the hidden window and come out as the
// program's two power events and its end.
void systemBroadcasts() {
    using vantrel::platform::win32::PowerChange;
    using vantrel::platform::win32::powerChangeFor;
    using vantrel::platform::win32::SystemEvents;
    check(powerChangeFor(0) == PowerChange::GoingToSleep && powerChangeFor(4) == PowerChange::GoingToSleep,
          "the query to suspend and the suspend itself mean going to sleep");
    bool allResume = true;
    for (unsigned e : {2u, 3u, 6u, 7u, 8u, 18u})
        allResume = allResume && powerChangeFor(e) == PowerChange::Resumed;
    check(allResume, "a refused suspend and every resume mean awake");
    check(powerChangeFor(10) == PowerChange::None && powerChangeFor(1) == PowerChange::None,
          "other events mean nothing");

    SystemEvents events;
    check(events.window() != nullptr, "the hidden window is made");
    if (!events.window()) return;
    std::vector<PowerChange> heard;
    int ends = 0;
    events.onPower = [&](PowerChange c) { heard.push_back(c); };
    events.onSessionEnd = [&] { ++ends; };
    const auto window = static_cast<HWND>(events.window());
    check(!IsWindowVisible(window), "it is never shown");
    SendMessageA(window, WM_POWERBROADCAST, 0, 0);
    SendMessageA(window, WM_POWERBROADCAST, 10, 0);
    SendMessageA(window, WM_POWERBROADCAST, 7, 0);
    check(heard == std::vector<PowerChange>{PowerChange::GoingToSleep, PowerChange::Resumed},
          "sleep and resume are told, other events not");
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_POWERBROADCAST, 4, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    check(heard.size() == 3 && heard.back() == PowerChange::GoingToSleep, "a broadcast reaches it");
    check(SendMessageA(window, WM_QUERYENDSESSION, 0, 0) == TRUE, "the session may end");
    SendMessageA(window, WM_ENDSESSION, FALSE, 0);
    check(ends == 0, "an end that was cancelled is no end");
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    check(ends == 1, "the end of the session is told once");
}

void theSystemsName() {
    using vantrel::platform::win32::osNameFor;
    check(osNameFor(1, 4, 0x04000000u | (0u << 16) | 950) == "Windows 95",
          "the 95 line, minor 0: Windows 95");
    check(osNameFor(1, 4, 0x04000000u | (10u << 16) | 1998) == "Windows 98", "minor 10: Windows 98");
    check(osNameFor(1, 4, 0x04000000u | (90u << 16) | 3000) == "Windows Millennium", "minor 90: Millennium");
    check(osNameFor(2, 4, 1381) == "Windows NT", "NT 4: Windows NT");
    check(osNameFor(2, 10, 19045) == "Windows 2000", "NT 5 and later: Windows 2000");
    check(osNameFor(3, 0, 0).empty(), "another platform: no name");
    check(isNTPlatform() && osName() == "Windows 2000", "Wine plays a system of the NT line");
    check(!systemSoundDir().empty() && systemSoundDir().find("\\Media") != std::string::npos,
          "the system sounds lie in the Windows folder");
    trimWorkingSet();
    check(true, "trimming the working set is harmless");
}

// The wake thread's body: in 100 ms waits until the timer fires or the stop flag is set.
void theWakeLoopStops() {
    std::string reason;
    auto timer = makeWakeTimer(reason);
    if (!timer) return check(false, reason.c_str());
    std::string error;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::int64_t nowMs =
        ((static_cast<std::int64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000LL) -
        11644473600000LL;
    check(timer->arm(nowMs + 3600000, error), "armed an hour ahead");
    std::atomic<bool> stop{false}, fired{false};
    std::thread body([&] {
        while (!stop)
            if (timer->wait(100)) {
                fired = true;
                break;
            }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto asked = std::chrono::steady_clock::now();
    stop = true;
    body.join();
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked)
            .count();
    std::printf("the wake loop ended %lld ms after the stop flag\n", static_cast<long long>(took));
    check(!fired && took < 1000, "the stop flag ends the wait within a slice or so");
}

// MAPI's send hands the message to the mail program. Wine's mapi32, with no mail system behind
// it, passes it as a "mailto:" address to its browser helper, whose mailer the test runner has
// set to fake_mailer.sh: that writes the address to C:\vantrel-mailto.txt.
void theMessageIsHandedOn() {
    const std::string out = "C:\\vantrel-mailto.txt";
    DeleteFileA(out.c_str());
    auto mail = makeMailHandOff();
    const int logon = mail->logon(false);
    check(logon == kMapiSuccess || logon == kMapiLoginFailure, "the logon answers");
    const int sent =
        mail->send("Vantrel Planner: Aspirin", "Take 1 tablet.", {{"Ann", "SMTP:ann@example.org"}}, false);
    mail->logoff();
    check(sent == kMapiSuccess, "MAPISendMail takes the message");
    std::string got;
    for (int i = 0; i < 100 && got.empty(); ++i) {
        Sleep(100);
        std::ifstream in(out);
        std::stringstream text;
        text << in.rdbuf();
        got = text.str();
    }
    std::printf("the mail program was given: %s\n", got.c_str());
    check(got.find("ann@example.org") != std::string::npos, "the mail program gets the recipient");
    check(got.find("Aspirin") != std::string::npos, "and the subject");
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--second") == 0) return secondStart(argv[2]);
    void (*const tests[])() = {
        typedValuesRoundTrip, theAutoStartValue,    theWakeTimerFires,  theWakeLoopStops, theRegionalCountry,
        theMapiLoader,        theMessageIsHandedOn, oneInstanceAtATime, systemBroadcasts, theSystemsName};
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
