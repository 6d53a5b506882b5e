#pragma once
// Handing a message to the desktop's mail program, the way Simple MAPI does it: log on, resolve
// each recipient, send (or open the compose window), log off. Result codes are Simple MAPI's.
#include <memory>
#include <string>
#include <vector>

namespace vantrel::platform {

constexpr int kMapiSuccess = 0;
constexpr int kMapiFailure = 2;
constexpr int kMapiLoginFailure = 3;
constexpr int kMapiUnknownRecipient = 14;
constexpr int kMapiAmbiguousRecipient = 21;

struct MailRecipient {
    std::string name;
    std::string address;
};

class MailHandOff {
public:
    virtual ~MailHandOff() = default;
    // False when the system has no mail program to hand to.
    virtual bool available() const = 0;
    // `withUi`: the mail program may ask the user (the second try).
    virtual int logon(bool withUi) = 0;
    virtual int resolve(const std::string& text, bool dialog, MailRecipient& out) = 0;
    // `dialog`: open the compose window for the user to address and send.
    virtual int send(const std::string& subject, const std::string& body,
                     const std::vector<MailRecipient>& to, bool dialog) = 0;
    virtual void logoff() = 0;
};

std::unique_ptr<MailHandOff> makeMailHandOff();

} // namespace vantrel::platform
