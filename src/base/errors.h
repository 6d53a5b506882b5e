#pragma once
// Errors that travel up to the application's error display. Table, settings and platform
// failures are exceptions; the handler that caused one stops and the program goes on.
// The text is kept as the user will read it; what() gives the same text in UTF-8.
#include <QByteArray>
#include <QString>
#include <exception>
#include <string>

namespace vantrel {

class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    // Platform code that knows no Qt writes its texts in UTF-8.
    explicit Error(const std::string& message) : Error(QString::fromStdString(message)) {}
    explicit Error(const char* message) : Error(QString::fromUtf8(message)) {}

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

class SettingsError : public Error {
public:
    using Error::Error;
};

class DataError : public Error {
public:
    using Error::Error;
    // The table engine's own result code, 0 when the error is not the engine's.
    DataError(QString message, int engineCode) : Error(std::move(message)), m_engineCode(engineCode) {}
    int engineCode() const noexcept { return m_engineCode; }
    // The disk that holds the tables has no room left (SQLite's SQLITE_FULL).
    bool diskFull() const noexcept { return (m_engineCode & 0xff) == 13; }

private:
    int m_engineCode = 0;
};

class PlatformError : public Error {
public:
    using Error::Error;
};

// The text of any exception, for a message box.
inline QString errorText(const std::exception& e) {
    if (const auto* ours = dynamic_cast<const Error*>(&e)) return ours->message();
    return QString::fromUtf8(e.what());
}

} // namespace vantrel
