#include "app/profiledialogs.h"

#include "data/table.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

int addPatient(Context& ctx, const QString& name) {
    data::Table tbpatient(ctx.db, QStringLiteral("patient"), QStringLiteral("tbpatient"));
    tbpatient.open();
    tbpatient.append();
    tbpatient.setValue(QStringLiteral("NAME"), name);
    tbpatient.post();
    return tbpatient.integer(QStringLiteral("PATIENTREF"));
}

TfrmFirstProfile::TfrmFirstProfile(Context& ctx, QWidget* mainWindow) : QDialog(mainWindow), m_ctx(ctx) {
    makeFixedDialog(this, "TfrmFirstProfile", QStringLiteral("Vantrel Planner Configuration"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Welcome to Vantrel Planner."), this);
    heading->setStyleSheet(QStringLiteral("color: navy; font-weight: bold; font-size: 14pt;"));
    layout->addWidget(heading);
    auto* text = new QLabel(
        QStringLiteral("Since Vantrel Planner features the ability to use multiple profiles, please "
                       "enter your name or the name of the person for the first profile:"),
        this);
    text->setWordWrap(true);
    text->setFixedWidth(340);
    layout->addWidget(text);
    teName = new QLineEdit(this);
    teName->setObjectName(QStringLiteral("teName"));
    layout->addWidget(teName);
    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1");
    connect(ok, &QPushButton::clicked, this, &TfrmFirstProfile::BitBtn1Click);
    setFixedSize(sizeHint());
    placeDialog(this, mainWindow, Placement::Centred);
}

QString TfrmFirstProfile::profileName() const {
    return teName->text();
}

void TfrmFirstProfile::BitBtn1Click() {
    if (teName->text().isEmpty()) {
        Messages::warning(this, QStringLiteral("Please enter your name to create the first profile"));
        return;
    }
    addPatient(m_ctx, teName->text());
    m_done = true;
    accept();
}

void TfrmFirstProfile::reject() {
    if (m_done) QDialog::reject();
}

void TfrmFirstProfile::closeEvent(QCloseEvent* e) {
    if (m_done)
        e->accept();
    else
        e->ignore();
}

TfrmAddProfile::TfrmAddProfile(Context& ctx, QWidget* mainWindow, const QPoint& place)
    : QDialog(mainWindow), m_ctx(ctx) {
    makeFixedDialog(this, "TfrmAddProfile", QStringLiteral("Add Profile"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the person's name for the new profile:"), this));
    teProfileName = new QLineEdit(this);
    teProfileName->setObjectName(QStringLiteral("teProfileName"));
    layout->addWidget(teProfileName);
    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1", "BitBtn2");
    connect(ok, &QPushButton::clicked, this, &TfrmAddProfile::BitBtn1Click);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
    move(place.x() - width() / 2, place.y());
}

QString TfrmAddProfile::profileName() const {
    return teProfileName->text();
}

void TfrmAddProfile::BitBtn1Click() {
    const QString name = teProfileName->text();
    if (name.isEmpty()) {
        Messages::warning(this, QStringLiteral("Please enter a name for the profile"));
        return;
    }
    data::Table tbpatient(m_ctx.db, QStringLiteral("patient"), QStringLiteral("tbpatient"));
    tbpatient.open();
    if (tbpatient.locate(QStringLiteral("NAME"), name)) { // exact: letter case counts
        Messages::warning(this, QStringLiteral("Profile name already exists"));
        return;
    }
    addPatient(m_ctx, name);
    accept();
}

} // namespace vantrel
