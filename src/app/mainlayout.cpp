// The main window's parts: the navigation bar, the profile bar, the pages and the status bar,
// the page host that lets the pages reach the wizards and the user, and the icon in the
// notification area. The window's behaviour is in mainwindow.cpp.
#include "app/mainwindow.h"

#include "app/profilebar.h"
#include "app/trayicon.h"
#include "app/welcomepage.h"
#include "notify/missedreminders.h"
#include "notify/reminderdispatcher.h"
#include "records/doctorspage.h"
#include "records/historypage.h"
#include "records/medicinespage.h"
#include "schedule/appointmentwizard.h"
#include "schedule/calendarpage.h"
#include "schedule/dosingwizard.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/navbar.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

namespace vantrel {

void TfrmMain::buildLayout() {
    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    outer->addWidget(Splitter1);

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(90);
    Panel1->setMaximumWidth(150);
    auto* navLayout = new QVBoxLayout(Panel1);
    navLayout->setContentsMargins(0, 0, 0, 0);
    dxSideBar1 = new NavBar(QStringLiteral("Functions"), Panel1);
    dxSideBar1->setObjectName(QStringLiteral("dxSideBar1"));
    dxSideBar1->addItem(programIcon(QStringLiteral("doctors")), QStringLiteral("Doctors"));
    dxSideBar1->addItem(programIcon(QStringLiteral("medicines")), QStringLiteral("Medicines"));
    dxSideBar1->addItem(programIcon(QStringLiteral("calendar")), QStringLiteral("Calendar"));
    dxSideBar1->addItem(programIcon(QStringLiteral("history")), QStringLiteral("History"));
    navLayout->addWidget(dxSideBar1);
    connect(dxSideBar1, &NavBar::itemClicked, this, &TfrmMain::dxSideBar1ItemClick);

    auto* right = new QWidget(Splitter1);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);

    m_host.window = this;
    m_host.tellWithoutWaiting = [this](const QString& text) {
        if (m_starting)
            m_ctx.tellAtStart(text);
        else
            Messages::warningWithoutWaiting(this, text);
    };
    m_reminders->tellWithoutWaiting = m_host.tellWithoutWaiting;
    m_host.openAppointmentWizard = [this](int drRef, int apptId) {
        TfrmAppointment wizard(m_ctx, apptId < 0 ? PlanWizard::Mode::Add : PlanWizard::Mode::Edit, drRef,
                               apptId, this);
        return wizard.exec() == QDialog::Accepted;
    };
    m_host.openDosingWizard = [this](int medRef, int apptId) {
        TfrmDosing wizard(m_ctx, apptId < 0 ? PlanWizard::Mode::Add : PlanWizard::Mode::Edit, medRef, apptId,
                          this);
        return wizard.exec() == QDialog::Accepted;
    };
    Panel40 = new ProfileBar(m_host, Panel1, right);
    rightLayout->addWidget(Panel40);
    connect(Panel40, &ProfileBar::profileChanged, this, &TfrmMain::profileChanged);

    PageControlEx1 = new QStackedWidget(right);
    PageControlEx1->setObjectName(QStringLiteral("PageControlEx1"));
    PageControlEx1->setMinimumSize(420, 311);
    m_calendar = new CalendarPage(m_host, PageControlEx1);
    m_medicines = new MedicinesPage(m_host, PageControlEx1);
    m_doctors = new DoctorsPage(m_host, PageControlEx1);
    TabSheet4 = new WelcomePage(PageControlEx1);
    m_history = new HistoryPage(m_host, PageControlEx1);
    connect(m_reminders.get(), &ReminderDispatcher::logChanged, m_history, [this] {
        if (m_history->isVisible()) m_history->reload();
    });
    for (QWidget* page : {static_cast<QWidget*>(m_calendar), static_cast<QWidget*>(m_medicines),
                          static_cast<QWidget*>(m_doctors), static_cast<QWidget*>(TabSheet4),
                          static_cast<QWidget*>(m_history)})
        PageControlEx1->addWidget(page);
    rightLayout->addWidget(PageControlEx1, 1);

    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(right);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({92, 600});
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(18);
    setStatusBar(status);
}

void TfrmMain::buildTray() {
    m_tray = new TrayIcon(windowIcon(), this);
    connect(m_tray, &TrayIcon::ViewAlarmWindow1Click, this, &TfrmMain::ViewAlarmWindow1Click);
    connect(m_tray, &TrayIcon::ExitVantrelPlanner1Click, this, &TfrmMain::ExitVantrelPlanner1Click);
    connect(m_tray, &TrayIcon::DismissAllRemindersClick, m_reminders.get(), &ReminderDispatcher::dismissAll);
    connect(m_reminders.get(), &ReminderDispatcher::refillNeeded, this, [this](const QString& text) {
        if (trayAvailable())
            m_tray->showMessage(text, false);
        else
            Messages::warningWithoutWaiting(this, text);
    });
    connect(m_reminders.get(), &ReminderDispatcher::missedAtStart, this, [this](int count) {
        m_tray->setMissed(count);
        // Once the list is closed the icon no longer counts them.
        connect(m_reminders->missedWindow(), &QObject::destroyed, m_tray, [this] { m_tray->setMissed(0); });
    });
    m_tray->show();
    m_fileExit->setVisible(!trayAvailable());
}

} // namespace vantrel
