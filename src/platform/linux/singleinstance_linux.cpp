#include "platform/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantrel::platform {

namespace {

// The user's runtime folder, or a private folder under /tmp where the session has none.
QString runtimeDir() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(QString::fromLocal8Bit(xdg)).exists()) return QString::fromLocal8Bit(xdg);
    const QString dir = QDir::tempPath() + QStringLiteral("/vantrel-%1").arg(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_name(name), m_dir(runtimeDir()) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
    if (m_lockFd >= 0) ::close(m_lockFd); // the lock goes with the descriptor
}

QString SingleInstance::lockPath() const {
    return m_dir + QLatin1Char('/') + m_name + QStringLiteral(".lock");
}
QString SingleInstance::socketPath() const {
    return m_dir + QLatin1Char('/') + m_name + QStringLiteral(".sock");
}

bool SingleInstance::tryBecomePrimary() {
    // flock dies with its process, so a crashed instance never blocks the next start.
    const QByteArray path = QFile::encodeName(lockPath());
    m_lockFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) return true; // no lock can be had here: better run than refuse to remind
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
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

bool AlreadyRunning(SingleInstance& instance, bool activate) {
    if (instance.tryBecomePrimary()) return false;
    if (activate) instance.activateRunning();
    return true;
}

} // namespace vantrel::platform
