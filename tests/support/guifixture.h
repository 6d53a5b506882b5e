#pragma once
// A main window on its own data and settings, built the way start-up builds it.
#include "core/context.h"
#include "app/mainwindow.h"
#include "app/messages.h"
#include "support/testsupport.h"

#include <QApplication>
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

// Works the next modal dialog of type T as soon as it opens (queued before the blocking call).
template <class T> void whenModal(std::function<void(T*)> work) {
    QTimer::singleShot(0, [work] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) work(d);
    });
}

template <class T> T* child(QWidget* d, const char* name) {
    return d->findChild<T*>(QString::fromLatin1(name));
}

// Presses a dialog's "OK" (named BitBtn1, as every dialog of the program names it).
void clickOk(QWidget* dialog);

} // namespace vantrel::test
