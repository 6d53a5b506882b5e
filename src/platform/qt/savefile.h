#pragma once
// Writing a file whole or not at all, for the files the program keeps beside the user's own.
#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace vantrel::platform {

// Writes `data` to a sibling file, syncs it and renames it over `path`, so a crash never leaves
// half a file. The file gets exactly `permissions`, whatever the umask; folders made on the way
// are the user's alone. Throws PlatformError starting with `what` ("Cannot write <what>: ...").
void saveFileAtomically(const QString& path, const QByteArray& data, QFileDevice::Permissions permissions,
                        const QString& what);

// Makes the folder and its missing parents, each new one readable by its owner only.
bool makePrivatePath(const QString& folder);

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace vantrel::platform
