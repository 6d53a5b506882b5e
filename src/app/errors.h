#pragma once
// Errors that travel up to the application's error display. Table, settings and platform
// failures are exceptions; the handler that caused one stops and the program goes on.
#include <stdexcept>
#include <string>

namespace vantrel {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SettingsError : public Error {
public:
    using Error::Error;
};

class DataError : public Error {
public:
    using Error::Error;
};

class PlatformError : public Error {
public:
    using Error::Error;
};

} // namespace vantrel
