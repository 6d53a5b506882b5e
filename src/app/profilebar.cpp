#include "app/profilebar.h"

#include "app/profiledialogs.h"
#include "core/shared.h"
#include "data/removal.h"
#include "plans/doselog.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace vantrel {

ProfileBar::ProfileBar(PageHost& host, QWidget* navigation, QWidget* parent)
    : QWidget(parent), m_host(host), m_navigation(navigation) {
    setObjectName(QStringLiteral("Panel40"));
    setFixedHeight(23);
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(4, 0, 4, 0);
    Label24 = new QLabel(QStringLiteral("Current Profile:"), this);
    Label24->setObjectName(QStringLiteral("Label24"));
    cbPatient = new QComboBox(this);
    cbPatient->setObjectName(QStringLiteral("cbPatient"));
    cbPatient->setEditable(false);
    cbPatient->setFixedWidth(153);
    btnAddProfile = new QPushButton(QStringLiteral("Add Profile"), this);
    btnAddProfile->setObjectName(QStringLiteral("btnAddProfile"));
    btnRemoveProfile = new QPushButton(QStringLiteral("Remove Profile"), this);
    btnRemoveProfile->setObjectName(QStringLiteral("btnRemoveProfile"));
    bar->addWidget(Label24);
    bar->addWidget(cbPatient);
    bar->addWidget(btnAddProfile);
    bar->addWidget(btnRemoveProfile);
    bar->addStretch(1);
    connect(cbPatient, qOverload<int>(&QComboBox::activated), this, &ProfileBar::cbPatientChange);
    connect(btnAddProfile, &QPushButton::clicked, this, &ProfileBar::btnAddProfileClick);
    connect(btnRemoveProfile, &QPushButton::clicked, this, &ProfileBar::btnRemoveProfileClick);

    TimerConfig = new QTimer(this);
    TimerConfig->setObjectName(QStringLiteral("TimerConfig"));
    TimerConfig->setInterval(50);
    connect(TimerConfig, &QTimer::timeout, this, &ProfileBar::TimerConfigTimer);
}

void ProfileBar::setControlsVisible(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(btnRemoveProfile), static_cast<QWidget*>(btnAddProfile),
                       static_cast<QWidget*>(cbPatient), static_cast<QWidget*>(Label24)})
        w->setVisible(visible);
}

void ProfileBar::LoadPatientList() {
    cbPatient->clear();
    data::Table& p = m_host.c().tbpatient;
    for (p.first(); !p.eof(); p.next())
        cbPatient->addItem(displayText(p.text(QStringLiteral("NAME")), kShortDisplay),
                           p.integer(QStringLiteral("PATIENTREF")));
}

void ProfileBar::selectFirstProfile() {
    LoadPatientList();
    if (cbPatient->count() > 0) {
        cbPatient->setCurrentIndex(0);
        cbPatientChange();
    } else if (!m_firstProfileAsked) {
        TimerConfig->start();
    }
}

void ProfileBar::cbPatientChange() {
    if (cbPatient->currentIndex() < 0) return;
    // Found by its key, so two profiles of the same name are still two profiles.
    const int key = cbPatient->currentData().toInt();
    if (!m_host.c().tbpatient.locate(QStringLiteral("PATIENTREF"), key)) return;
    m_host.ctx.CurrentPatientRef = key;
    emit profileChanged(key);
}

void ProfileBar::reloadAndSelect(int index) {
    LoadPatientList();
    cbPatient->setCurrentIndex(index);
    cbPatientChange();
}

void ProfileBar::TimerConfigTimer() {
    TimerConfig->stop();
    if (!m_host.ctx.MainShown) {
        TimerConfig->start();
        return;
    }
    if (m_firstProfileAsked) return;
    m_firstProfileAsked = true;
    TfrmFirstProfile dialog(m_host.ctx, m_host.window);
    QCoreApplication::processEvents();
    dialog.exec();
    if (m_host.ctx.SessionEnding || !m_host.ctx.db.isOpen()) return; // the session ended meanwhile
    m_host.c().tbpatient.reopen();
    reloadAndSelect(0);
}

void ProfileBar::btnAddProfileClick() {
    // Over the top of the window, its middle near the left end of the "Add Profile" button.
    const QWidget* w = window();
    const QPoint place(w->x() + m_navigation->width() + btnAddProfile->x(), w->y() + 30);
    TfrmAddProfile dialog(m_host.ctx, m_host.window, place);
    if (dialog.exec() != QDialog::Accepted) return;
    m_host.c().tbpatient.reopen();
    LoadPatientList();
    cbPatient->setCurrentIndex(
        cbPatient->findText(dialog.profileName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    cbPatientChange();
}

void ProfileBar::btnRemoveProfileClick() {
    if (cbPatient->count() == 1) {
        Messages::warning(m_host.window, QStringLiteral("At least one profile must be entered"));
        return;
    }
    QString question = QStringLiteral("Are you sure you want to remove this profile?");
    // Its dose history goes with it; the question says so where there is any.
    if (const int logged = plans::DoseLog(m_host.ctx.db).rowsOf(m_host.ctx.CurrentPatientRef))
        question += QStringLiteral(" Its dose history (%1 %2) is removed with it.")
                        .arg(logged)
                        .arg(logged == 1 ? QStringLiteral("entry") : QStringLiteral("entries"));
    if (!Messages::confirm(m_host.window, question)) return;
    data::removeProfile(m_host.ctx.db, m_host.ctx.CurrentPatientRef);
    for (data::Table* t : m_host.c().inOpeningOrder())
        t->reopen();
    m_host.ctx.NotifsLoaded = false;
    reloadAndSelect(0);
}

} // namespace vantrel
