#pragma once
// What may stand as an address where a mail program or a mail server reads it as one: a plain
// mailbox, local part "@" domain, and nothing else. Anything more (a blank, an angle bracket, a
// leading "-", a "?" or "&" that a mailto: address would read as its own parameters) could make
// the text say more than an address, so it is refused rather than passed on.
#include <string>

namespace vantrel::platform {

// Why the text (UTF-8) is not such an address, or empty when it is one.
std::string mailboxProblem(const std::string& address);
// True when every byte is ASCII: a server must offer SMTPUTF8 for anything else.
bool isAsciiAddress(const std::string& address);

} // namespace vantrel::platform
