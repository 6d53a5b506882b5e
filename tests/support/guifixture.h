#pragma once
// A main window on its own data and settings, built the way start-up builds it.
#include "app/mainwindow.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/testsupport.h"
#include "ui/messages.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace vantrel::test {

struct MainWindowFixture {
    Sandbox box;
    Context ctx;
    std::unique_ptr<TfrmMain> window;
    FakeClock* clock = nullptr;

    // `before` may change the stored settings before the window is created.
    // `beforeWindow` runs after the settings are stored and before the window is created.
    // `profiles` are written into the store first; an empty list makes a first run.
    explicit MainWindowFixture(const std::function<void(Settings&)>& before = {},
                               const std::function<void(MainWindowFixture&)>& beforeWindow = {},
                               const QStringList& profiles = {QStringLiteral("Ann")});
    ~MainWindowFixture();

    // Writes straight into the tables, as another program run would have.
    void seed(const std::function<void(data::Database&)>& write);

    template <class T> T* find(const QString& name) const { return window->findChild<T*>(name); }
    platform::SettingsStore& reloadStore();
};

// One queued piece of work on a modal dialog: whether it ran, and whether it still waits.
struct ModalWork {
    QString dialogType;
    bool ran = false;
    bool cancelled = false;
};

// The work queued by whenModal that has not run yet.
QList<std::shared_ptr<ModalWork>>& pendingModalWork();
// Fails the running test, naming each dialog it waited for that never opened, and stops waiting.
void failOnModalWorkNeverRun();

// Closes a dialog whose work failed a check, so the blocking call returns at once.
void closeAfterFailure(QWidget* dialog);

// Works the next modal dialog of type T as soon as it opens (queued before the blocking call).
// The returned record says when the work has run. A dialog that has not opened by the end of
// the test (or within five seconds) fails the test with a message, and a check that fails
// inside the work closes the dialog instead of leaving the blocking call waiting.
template <class T> std::shared_ptr<ModalWork> whenModal(std::function<void(T*)> work) {
    auto record = std::make_shared<ModalWork>();
    record->dialogType = QString::fromLatin1(T::staticMetaObject.className());
    pendingModalWork().append(record);
    const QDeadlineTimer deadline(5000);
    auto step = std::make_shared<std::function<void()>>();
    std::weak_ptr<std::function<void()>> self = step;
    *step = [work, record, deadline, self] {
        if (record->cancelled) return;
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d) {
            if (deadline.hasExpired()) {
                failOnModalWorkNeverRun();
                return;
            }
            if (auto again = self.lock()) QTimer::singleShot(10, [again] { (*again)(); });
            return;
        }
        pendingModalWork().removeAll(record);
        QPointer<T> guard(d);
        work(d);
        record->ran = true;
        if (QTest::currentTestFailed() && guard) closeAfterFailure(guard);
    };
    QTimer::singleShot(0, [step] { (*step)(); });
    return record;
}

template <class T> T* child(QWidget* d, const char* name) {
    return d->findChild<T*>(QString::fromLatin1(name));
}

// Presses a dialog's "OK" (named BitBtn1, as every dialog of the program names it).
void clickOk(QWidget* dialog);

} // namespace vantrel::test
