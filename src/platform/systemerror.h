#pragma once
// The error of a system call, for platform code that is plain C++ (the Windows side); its text
// is UTF-8 and reaches the user through the application's error display like any other.
#include <stdexcept>
#include <string>

namespace vantrel::platform {

class SystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vantrel::platform
