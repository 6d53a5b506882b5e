#include "app/mainwindow.h"

#include "app/messages.h"
#include "app/shared.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>

namespace vantrel {

TfrmMain::TfrmMain(Context& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
}

TfrmMain::~TfrmMain() {
    m_cursors.reset();
    m_ctx.db.close();
}

void TfrmMain::FormCreate() {
    m_ctx.ProgramPath = QCoreApplication::applicationFilePath();
    openDataStore();
    writeAutoStartEntry();
}

void TfrmMain::openDataStore() {
    QDir().mkpath(m_ctx.tempDir());
    ClearTempFolder(m_ctx.tempDir());
    m_ctx.db.open(m_ctx.DataDir);
    m_cursors = std::make_unique<data::MainCursors>(m_ctx.db);
    m_cursors->openAll();
}

void TfrmMain::writeAutoStartEntry() {
    try {
        syncAutoStart(m_ctx.settings.AutoStart, *m_ctx.autoStart, m_ctx.ProgramPath, true);
    } catch (const std::exception& e) {
        Messages::error(this, QString::fromUtf8(e.what()));
    }
}

void TfrmMain::startShown(bool shown) {
    m_ctx.ShowCount = shown ? 1 : 0;
    if (shown) show();
}

void TfrmMain::showFromNotificationArea() {
    ++m_ctx.ShowCount;
    showNormal();
    raise();
    activateWindow();
}

void TfrmMain::shutDown() {
    m_ctx.saveSettings();
    if (m_cursors) m_cursors->closeAll();
    m_ctx.db.close();
    ClearTempFolder(m_ctx.tempDir());
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    shutDown();
    e->accept();
    QCoreApplication::quit();
}

} // namespace vantrel
