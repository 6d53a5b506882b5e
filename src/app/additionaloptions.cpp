#include "app/additionaloptions.h"

#include "ui/dialogs.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {
QCheckBox* box(const char* name, const char* text, QWidget* parent, QLayout* layout) {
    auto* c = new QCheckBox(QString::fromLatin1(text), parent);
    c->setObjectName(QString::fromLatin1(name));
    layout->addWidget(c);
    return c;
}
} // namespace

TfrmAdditionalOptions::TfrmAdditionalOptions(Context& ctx, QWidget* mainWindow)
    : QDialog(mainWindow), m_ctx(ctx) {
    makeFixedDialog(this, "TfrmAdditionalOptions", QStringLiteral("Additional Options"));
    auto* layout = new QVBoxLayout(this);
    m_autoStart = box("chkAutoStart", "Auto-Start Vantrel Planner on Windows Startup", this, layout);
    m_disable = box("chkDisableNotifs", "Disable All Notifications", this, layout);
    m_usPhone = box("chkUSPhone", "Use U.S. Phone Format", this, layout);
    m_wake = box("chkWake", "Wake System From Standby/Hybernation", this, layout);
    QPushButton* ok = addDialogButtons(this, layout, "btnOK", "btnCancel");
    setFixedSize(sizeHint());
    connect(ok, &QPushButton::clicked, this, &TfrmAdditionalOptions::btnOKClick);

    placeDialog(this, mainWindow, Placement::Centred);
    m_autoStart->setChecked(ctx.settings.AutoStart);
    m_disable->setChecked(ctx.settings.DisableNotifs);
    if (ctx.settings.PhoneFormat == 0) m_usPhone->setChecked(true);
    m_wake->setChecked(ctx.settings.allowwake);
}

void TfrmAdditionalOptions::btnOKClick() {
    Settings& s = m_ctx.settings;
    // The dialog closes whatever happens below; an error is shown by the application.
    accept();
    s.AutoStart = m_autoStart->isChecked();
    m_ctx.syncAutoStart(false);
    s.DisableNotifs = m_disable->isChecked();
    s.PhoneFormat = m_usPhone->isChecked() ? 0 : 1;
    s.allowwake = m_wake->isChecked();
    m_ctx.saveSettings();
}

} // namespace vantrel
