#pragma once
// The system's sleep and resume, with a delay of the sleep while the program gets ready for it.
#include <QObject>

namespace vantrel::platform {

class PowerEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // False where the system tells nothing of its sleep (no system bus, no logind).
    virtual bool active() const = 0;
    // The delay of the sleep: held while running, let go once ready to sleep.
    virtual void takeInhibitor() = 0;
    virtual void releaseInhibitor() = 0;
    virtual bool holdsInhibitor() const = 0;

signals:
    void goingToSleep();
    void resumed();
};

PowerEvents* makePowerEvents(QObject* parent);

} // namespace vantrel::platform
