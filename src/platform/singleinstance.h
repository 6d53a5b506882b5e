#pragma once
// One running instance per user session. The first instance holds a lock and listens on a
// local socket (on Windows: a named mutex, and a hidden window to post to); a later start finds
// the lock taken, asks the first to show its window, and ends.
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace vantrel::platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the only instance; false when another one runs. Throws
    // PlatformError, saying why, when the lock cannot be had for any other reason.
    bool tryBecomePrimary();
    // Asks the running instance to bring its window forward. Returns whether it answered.
    bool activateRunning(int timeoutMs = 1000);

    QString lockPath() const;
    QString socketPath() const;

signals:
    void activationRequested();

private:
    void onConnection();

    QString m_name;
    QString m_dir;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

// True when another instance already runs in this session; with `activate` it is asked to bring
// its window forward. When false, this process now holds the instance.
inline bool AlreadyRunning(SingleInstance& instance, bool activate) {
    if (instance.tryBecomePrimary()) return false;
    if (activate) instance.activateRunning();
    return true;
}

} // namespace vantrel::platform
