#pragma once
// Tells the program that the system wants it to end (the logon session is closing, or the
// process was asked to terminate), so it can save and close its data first.
#include <QObject>

class QSocketNotifier;

namespace vantrel::platform {

class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vantrel::platform
