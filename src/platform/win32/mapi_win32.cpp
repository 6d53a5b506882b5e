#include "platform/mailhandoff.h"
#include "platform/systemerror.h"
#include "platform/win32/registrystore.h"

#include <windows.h>
// windows.h first: mapi.h relies on its types.
#include <mapi.h>

namespace vantrel::platform {

namespace {

// Simple MAPI's library and its ten entry points, found once.
struct Mapi {
    bool available = false;
    HMODULE library = nullptr;
    LPMAPILOGON logon = nullptr;
    LPMAPILOGOFF logoff = nullptr;
    LPMAPISENDMAIL sendMail = nullptr;
    LPMAPIRESOLVENAME resolveName = nullptr;
    LPMAPIFREEBUFFER freeBuffer = nullptr;
};

// MAPI is there when the machine says so ("MAPI" = "1") and its library loads; a library that
// lacks one of the entry points is an error of its own.
const Mapi& mapi() {
    static const Mapi m = [] {
        Mapi m;
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, KEY_READ,
                          &key) != ERROR_SUCCESS)
            return m;
        char value[9] = {0};
        DWORD size = sizeof value - 1;
        const bool present = RegQueryValueExA(key, "MAPI", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                              &size) == ERROR_SUCCESS &&
                             std::string(value) == "1";
        RegCloseKey(key);
        if (!present) return m;
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        m.library = LoadLibraryA("mapi32");
        if (!m.library) m.library = LoadLibraryA("mapi32.dll");
        SetErrorMode(oldMode);
        if (!m.library) return m;
        m.available = true;
        const auto find = [&](const char* name) {
            return reinterpret_cast<void*>(GetProcAddress(m.library, name));
        };
        bool all = true;
        for (const char* name :
             {"MAPIFindNext", "MAPILogoff", "MAPILogon", "MAPISendMail", "MAPIReadMail", "MAPIDeleteMail",
              "MAPIResolveName", "MAPIFreeBuffer", "MAPIAddress", "MAPISaveMail"})
            all = all && find(name);
        if (!all) throw SystemError("GetProcAddress for MAPI.DLL function(s) failed");
        m.logon = reinterpret_cast<LPMAPILOGON>(find("MAPILogon"));
        m.logoff = reinterpret_cast<LPMAPILOGOFF>(find("MAPILogoff"));
        m.sendMail = reinterpret_cast<LPMAPISENDMAIL>(find("MAPISendMail"));
        m.resolveName = reinterpret_cast<LPMAPIRESOLVENAME>(find("MAPIResolveName"));
        m.freeBuffer = reinterpret_cast<LPMAPIFREEBUFFER>(find("MAPIFreeBuffer"));
        return m;
    }();
    return m;
}

// Simple MAPI speaks the system's ANSI code page.
std::string ansi(const std::string& utf8) {
    return narrow(widen(utf8), CP_ACP);
}

std::string fromAnsi(const char* s) {
    return s ? narrow(widen(s, CP_ACP)) : std::string();
}

// The default profile of the messaging subsystem, when there is one.
std::string defaultProfile() {
    auto store = openRegistrySettings();
    const std::string nt =
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
    const std::string old = "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles";
    const auto v = store->value(store->keyExists(nt) ? nt : old, "DefaultProfile");
    return v && v->type == StoredValue::Type::Text ? v->text.substr(0, 255) : std::string();
}

class SimpleMapi : public MailHandOff {
public:
    ~SimpleMapi() override { logoff(); }

    bool available() const override { return mapi().available; }

    int logon(bool withUi) override {
        if (!available()) return kMapiFailure;
        const std::string profile = withUi ? std::string() : ansi(defaultProfile());
        const ULONG r = mapi().logon(0, profile.empty() ? nullptr : const_cast<char*>(profile.c_str()),
                                     nullptr, withUi ? MAPI_LOGON_UI : 0, 0, &m_session);
        return static_cast<int>(r);
    }

    int resolve(const std::string& text, bool dialog, MailRecipient& out) override {
        lpMapiRecipDesc desc = nullptr;
        const std::string name = ansi(text);
        const ULONG r = mapi().resolveName(m_session, 0, const_cast<char*>(name.c_str()),
                                           dialog ? MAPI_DIALOG : 0, 0, &desc);
        if (r == SUCCESS_SUCCESS && desc) {
            out.name = fromAnsi(desc->lpszName);
            out.address = fromAnsi(desc->lpszAddress);
        }
        if (desc) mapi().freeBuffer(desc);
        return static_cast<int>(r);
    }

    int send(const std::string& subject, const std::string& body, const std::vector<MailRecipient>& to,
             bool dialog) override {
        std::vector<std::string> names, addresses;
        for (const MailRecipient& r : to) {
            names.push_back(ansi(r.name));
            addresses.push_back(ansi(r.address));
        }
        std::vector<MapiRecipDesc> recipients(to.size());
        for (size_t i = 0; i < to.size(); ++i) {
            recipients[i] = MapiRecipDesc{};
            recipients[i].ulRecipClass = MAPI_TO;
            recipients[i].lpszName = const_cast<char*>(names[i].c_str());
            recipients[i].lpszAddress = const_cast<char*>(addresses[i].c_str());
        }
        std::string s = ansi(subject), text = ansi(body);
        MapiMessage message{};
        message.lpszSubject = s.empty() ? nullptr : s.data();
        message.lpszNoteText = text.data();
        message.nRecipCount = static_cast<ULONG>(recipients.size());
        message.lpRecips = recipients.empty() ? nullptr : recipients.data();
        return static_cast<int>(mapi().sendMail(m_session, 0, &message, dialog ? MAPI_DIALOG : 0, 0));
    }

    void logoff() override {
        if (m_session) mapi().logoff(m_session, 0, 0, 0);
        m_session = 0;
    }

private:
    LHANDLE m_session = 0;
};

} // namespace

std::unique_ptr<MailHandOff> makeMailHandOff() {
    return std::make_unique<SimpleMapi>();
}

} // namespace vantrel::platform
