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

// The data folder belongs to one running program. The instance lock lives in the session's
// runtime folder, so the same user in a second session (or with another runtime folder) would
// pass it by; this lock, in the data folder itself, stops such a start before it touches a table.
class DataFolderLock {
public:
    explicit DataFolderLock(const QString& dataDir);
    ~DataFolderLock();
    // False when another running process holds the folder; true otherwise. A lock left by a
    // process that has ended is taken over, and one that cannot be written (a full disk) is gone
    // without.
    bool tryLock();
    QString path() const { return m_path; }
    // The process holding the folder, 0 when not known.
    qint64 holder() const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// True when another instance already runs in this session; with `activate` it is asked to bring
// its window forward. When false, this process now holds the instance.
inline bool AlreadyRunning(SingleInstance& instance, bool activate) {
    if (instance.tryBecomePrimary()) return false;
    if (activate) instance.activateRunning();
    return true;
}

} // namespace vantrel::platform
