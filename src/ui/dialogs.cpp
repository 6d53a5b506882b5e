#include "ui/dialogs.h"

#include "core/placement.h"
#include "platform/shellopen.h"
#include "session/context.h"
#include "ui/messages.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace vantrel {

namespace {
// "WAV Audio Files|*.wav|All Files|*.*" as Qt writes it: "WAV Audio Files (*.wav);;All Files (*)".
QString qtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(
            parts[i], parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1]);
    return out.join(QStringLiteral(";;"));
}
} // namespace

void placeDialog(QWidget* dialog, const QWidget* mainWindow, Placement rule) {
    if (!mainWindow) return;
    const QScreen* screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect main = mainWindow->frameGeometry();
    const QSize size = dialog->frameGeometry().size().expandedTo(dialog->sizeHint());
    const QPoint placed = rule == Placement::Centred ? centredPlacement(main, size, screenSize)
                                                     : smallDialogPlacement(main, size, screenSize);
    // The rule's place, unless part of the dialog would lie under a task bar or off the screen.
    dialog->move(screen ? keepInside(QRect(placed, size), screen->availableGeometry()) : placed);
}

void setFixedDialogFlags(QWidget* window, Qt::WindowFlags extra) {
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                           Qt::WindowTitleHint | extra);
    window->setWindowIcon(programIcon(QStringLiteral("planner")));
}

void makeFixedDialog(QWidget* window, const char* name, const QString& caption, Qt::WindowFlags extra) {
    window->setObjectName(QString::fromLatin1(name));
    window->setWindowTitle(caption);
    setFixedDialogFlags(window, extra);
}

QPushButton* addDialogButtons(QDialog* dialog, QBoxLayout* layout, const char* okName,
                              const char* cancelName) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    row->addWidget(ok);
    if (cancelName) {
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
        cancel->setObjectName(QString::fromLatin1(cancelName));
        row->addWidget(cancel);
        QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    }
    layout->addLayout(row);
    return ok;
}

QString openFileName(QWidget* parent, const QString& folder, const QString& filter) {
    if (Context* ctx = Context::current();
        ctx && (ctx->hooks.answerMessages || !ctx->hooks.nextFileNames.isEmpty()))
        return ctx->hooks.nextFileNames.isEmpty() ? QString() : ctx->hooks.nextFileNames.takeFirst();
    return QFileDialog::getOpenFileName(parent, QString(), folder, qtFilter(filter));
}

QString saveFileName(QWidget* parent, const QString& suggested, const QString& filter) {
    if (Context* ctx = Context::current();
        ctx && (ctx->hooks.answerMessages || !ctx->hooks.nextFileNames.isEmpty()))
        return ctx->hooks.nextFileNames.isEmpty() ? QString() : ctx->hooks.nextFileNames.takeFirst();
    return QFileDialog::getSaveFileName(parent, QString(), suggested, qtFilter(filter));
}

QIcon programIcon(const QString& name) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        const QString png = QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size);
        if (QFile::exists(png)) icon.addFile(png, QSize(size, size));
    }
    return icon.isNull() ? QIcon(QStringLiteral(":/icons/%1.svg").arg(name)) : icon;
}

int ShellOpen(const QString& target, QWidget* parent) {
    const Context* ctx = Context::current();
    const bool opened = ctx && ctx->hooks.desktopOpener ? ctx->hooks.desktopOpener(target)
                                                        : platform::openWithDesktop(target);
    if (opened) return 0;
    Messages::question(parent, QStringLiteral("Error starting player program."));
    return -1;
}

} // namespace vantrel
