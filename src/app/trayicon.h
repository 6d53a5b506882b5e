#pragma once
// The icon in the notification area and its menu: "&View Vantrel Planner Window", "Dismiss All
// Reminders" and "E&xit Vantrel Planner". A double click shows the window; the right button opens the menu; a
// single left click does nothing.
#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace vantrel {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(const QIcon& icon, QObject* parent);

    void show();
    void hide();
    void showMessage(const QString& text, bool warning = true);
    // How many reminders were missed while the program was not running: in the icon's tooltip
    // (0 takes it away) and, when some were, in a message.
    void setMissed(int count);
    QSystemTrayIcon* icon() const { return m_tray; }

public slots:
    void IconTray(QSystemTrayIcon::ActivationReason reason);

signals:
    void ViewAlarmWindow1Click();
    void DismissAllRemindersClick();
    void ExitVantrelPlanner1Click();

private:
    QSystemTrayIcon* m_tray;
    QMenu* PopupMenu1;
};

} // namespace vantrel
