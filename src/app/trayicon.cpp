#include "app/trayicon.h"

#include "core/settings.h"

#include <QAction>
#include <QMenu>

namespace vantrel {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("TrayIconOwner"));
    m_tray = new QSystemTrayIcon(icon, this);
    m_tray->setObjectName(QStringLiteral("TrayIcon"));
    m_tray->setToolTip(QString::fromLatin1(kAppTitle));
    PopupMenu1 = new QMenu();
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(this, &QObject::destroyed, PopupMenu1, &QObject::deleteLater);
    // The actions belong to this object, so they are found among the window's children.
    auto* view = new QAction(QStringLiteral("&View Vantrel Planner Window"), this);
    view->setObjectName(QStringLiteral("ViewAlarmWindow1"));
    PopupMenu1->addAction(view);
    connect(view, &QAction::triggered, this, &TrayIcon::ViewAlarmWindow1Click);
    auto* dismiss = new QAction(QStringLiteral("Dismiss All Reminders"), this);
    dismiss->setObjectName(QStringLiteral("DismissAllReminders1"));
    PopupMenu1->addAction(dismiss);
    connect(dismiss, &QAction::triggered, this, &TrayIcon::DismissAllRemindersClick);
    PopupMenu1->addSeparator();
    auto* exit = new QAction(QStringLiteral("E&xit Vantrel Planner"), this);
    exit->setObjectName(QStringLiteral("ExitVantrelPlanner1"));
    PopupMenu1->addAction(exit);
    connect(exit, &QAction::triggered, this, &TrayIcon::ExitVantrelPlanner1Click);
    m_tray->setContextMenu(PopupMenu1);
    connect(m_tray, &QSystemTrayIcon::activated, this, &TrayIcon::IconTray);
}

void TrayIcon::show() {
    m_tray->show();
}

void TrayIcon::hide() {
    m_tray->hide();
}

void TrayIcon::showMessage(const QString& text, bool warning) {
    m_tray->showMessage(QString::fromLatin1(kAppTitle), text,
                        warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
}

void TrayIcon::setMissed(int count) {
    const QString title = QString::fromLatin1(kAppTitle);
    if (count <= 0) {
        m_tray->setToolTip(title);
        return;
    }
    const QString text = count == 1 ? QStringLiteral("1 reminder was missed while %1 was not running.").arg(title)
                                    : QStringLiteral("%1 reminders were missed while %2 was not running.")
                                          .arg(count)
                                          .arg(title);
    m_tray->setToolTip(title + QStringLiteral(": ") +
                       (count == 1 ? QStringLiteral("1 missed reminder")
                                   : QStringLiteral("%1 missed reminders").arg(count)));
    showMessage(text, true);
}

void TrayIcon::IconTray(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) emit ViewAlarmWindow1Click();
}

} // namespace vantrel
