#pragma once
// Sends reminder e-mail on a worker of its own, one message at a time in the order they fell
// due, so that a slow or dead server never holds up a reminder. What failed comes back as the
// text to show the user.
#include "notify/mailmessage.h"

#include <QObject>
#include <QThread>
#include <functional>

namespace vantrel {

struct Context;
namespace data {
class Table;
}

class MailSender : public QObject {
    Q_OBJECT
public:
    MailSender();
    ~MailSender() override;

    // Runs the job on the worker; a job returns the text to show, empty when all went well.
    void queue(std::function<QString()> job);
    // Waits until every queued job has run (for tests and the end of the program).
    bool waitUntilIdle(int timeoutMs);

signals:
    void failed(const QString& message);

private:
    QThread m_thread;
    QObject* m_worker;
    std::atomic<int> m_pending{0};
};

// The job for one reminder row, by the settings' method: SMTP, or the hand-off to the desktop's
// mail program. Returns nothing and shows its message itself (through `tell`) when the row can
// be refused before anything is sent.
std::function<QString()> mailJobFor(const Context& ctx, const data::Table& tbnotif2,
                                    const std::function<void(const QString&)>& tell);

} // namespace vantrel
