#include "platform/singleinstance.h"

#include "base/errors.h"
#include "platform/qt/savefile.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantrel::platform {

namespace {

// A folder that only this user can reach: another user who made it first could otherwise
// hold the lock or the socket in our place.
bool isPrivateToUser(const QString& dir) {
    const QFileInfo info(dir);
    if (!info.isDir() || info.isSymLink()) return false;
#ifdef Q_OS_UNIX
    if (info.ownerId() != ::getuid()) return false;
#endif
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    return (info.permissions() & others) == 0;
}

// The session's runtime folder when it is the user's own and private, else a private folder
// in the user's cache location.
QString runtimeDir() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isPrivateToUser(xdg)) return xdg;
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/vantrel");
    makePrivatePath(dir);
    return dir;
}
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_name(name), m_dir(runtimeDir()) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

QString SingleInstance::lockPath() const {
    return m_dir + QLatin1Char('/') + m_name + QStringLiteral(".lock");
}
QString SingleInstance::socketPath() const {
    return m_dir + QLatin1Char('/') + m_name + QStringLiteral(".sock");
}

bool SingleInstance::tryBecomePrimary() {
    // Only a folder of this user's alone is used: another user could otherwise hold the lock.
    if (!isPrivateToUser(m_dir))
        throw PlatformError(
            QStringLiteral("Vantrel Planner cannot start: the folder \"%1\" for its single-instance "
                           "lock is missing or not private to this user.")
                .arg(QDir::toNativeSeparators(m_dir)));
    // A lock left by a process that died is taken over, so a crash never blocks the next start.
    m_lock = std::make_unique<QLockFile>(lockPath());
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const QLockFile::LockError error = m_lock->error();
        m_lock.reset();
        if (error == QLockFile::LockFailedError) return false; // another instance runs
        throw PlatformError(
            QStringLiteral("Vantrel Planner cannot start: its single-instance lock \"%1\" cannot be "
                           "taken (%2).")
                .arg(QDir::toNativeSeparators(lockPath()), error == QLockFile::PermissionError
                                                               ? QStringLiteral("no permission")
                                                               : QStringLiteral("an unknown error")));
    }
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    m_server->listen(socketPath());
    return true;
}

void SingleInstance::onConnection() {
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (s->readAll().contains("show")) emit activationRequested();
            s->disconnectFromServer();
        });
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
}

bool SingleInstance::activateRunning(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write("show\n");
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.waitForDisconnected(timeoutMs);
    return sent;
}

DataFolderLock::DataFolderLock(const QString& dataDir)
    : m_path(QDir(dataDir).filePath(QStringLiteral("vantrel-planner.lock"))),
      m_lock(std::make_unique<QLockFile>(m_path)) {
    m_lock->setStaleLockTime(0); // only a lock whose process has ended is stale, however old
}

DataFolderLock::~DataFolderLock() = default;

bool DataFolderLock::tryLock() {
    if (m_lock->tryLock(0)) {
        QFile::setPermissions(m_path, kOwnerOnly);
        return true;
    }
    // Only another running program stops the start. A lock that cannot be written at all (a full
    // disk) must not keep the reminders from running: the session's own lock still holds.
    return m_lock->error() != QLockFile::LockFailedError;
}

qint64 DataFolderLock::holder() const {
    qint64 pid = 0;
    QString host, app;
    return m_lock->getLockInfo(&pid, &host, &app) ? pid : 0;
}

} // namespace vantrel::platform
