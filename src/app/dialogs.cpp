#include "app/dialogs.h"

#include "app/messages.h"
#include "app/placement.h"
#include "platform/shellopen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantrel {

void placeDialog(QWidget* dialog, const QWidget* mainWindow, Placement rule) {
    if (!mainWindow) return;
    const QScreen* screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect main = mainWindow->frameGeometry();
    const QSize size = dialog->frameGeometry().size().expandedTo(dialog->sizeHint());
    dialog->move(rule == Placement::Centred ? centredPlacement(main, size, screenSize)
                                            : smallDialogPlacement(main, size, screenSize));
}

namespace {
std::function<bool(const QString&)> g_opener;
} // namespace

void setDesktopOpenerForTesting(std::function<bool(const QString&)> opener) { g_opener = std::move(opener); }

int ShellOpen(const QString& target, QWidget* parent) {
    if (g_opener ? g_opener(target) : platform::openWithDesktop(target)) return 0;
    Messages::question(parent, QStringLiteral("Error starting player program."));
    return -1;
}

} // namespace vantrel
