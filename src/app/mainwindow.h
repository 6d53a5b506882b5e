#pragma once
// The program's one top-level window. It owns the data store's cursors, the pages, the menus,
// the notification-area icon and the timers for the whole run, and wires the pages together.
#include "app/trayicon.h"
#include "app/wakecontroller.h"
#include "data/maincursors.h"
#include "session/context.h"
#include "ui/pagehost.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTextBrowser;
class QTimer;

namespace vantrel {

class CalendarPage;
class DoctorsPage;
class HistoryPage;
class MedicinesPage;
class NavBar;
class ProfileBar;
class ReminderDispatcher;
class TfrmHelp;
class WelcomePage;
class TMyThread;
class Scheduler;

namespace platform {
class PowerEvents;
class TerminationWatcher;
} // namespace platform

class TfrmActiveNotif;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(Context& ctx, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Brings the program up in its fixed order. Throws when the data folder or the tables cannot
    // be opened; any later step that fails is shown and the steps after it still run.
    void FormCreate();
    // The end of start-up: shown, or hidden in the notification area.
    void startShown(bool shown);

    data::MainCursors& cursors() { return *m_cursors; }
    Context& context() { return m_ctx; }
    CalendarPage* calendarPage() const { return m_calendar; }
    DoctorsPage* doctorsPage() const { return m_doctors; }
    HistoryPage* historyPage() const { return m_history; }
    MedicinesPage* medicinesPage() const { return m_medicines; }
    QSystemTrayIcon* trayIcon() const { return m_tray ? m_tray->icon() : nullptr; }
    QTimer* notiftimer() const { return m_notiftimer; }
    ProfileBar* profileBar() const { return Panel40; }
    ReminderDispatcher* reminders() const { return m_reminders.get(); }
    Scheduler* scheduler() const;
    TMyThread* wakeThread() const { return m_wake->wakeThread(); }
    bool wakeArmed() const { return m_wake->wakeArmed(); }
    int wakeThreadsMade() const { return m_wake->wakeThreadsMade(); }
    platform::PowerEvents* powerEvents() const { return m_wake->powerEvents(); }
    QList<TfrmActiveNotif*> openReminders() const;

    bool trayAvailable() const;

    void applyColorScheme(int scheme);
    // Each page colours its own containers.
    void applyColorSchemeColours(int scheme);

public slots:
    void dxSideBar1ItemClick(int index);
    void ViewStartupPage1Click();
    void Contents1Click();
    void About1Click();
    void AdditionalOptions1Click();
    void emailSettings1Click();
    void ExportCalendar1Click();
    void ImportCalendar1Click();
    void PrintMedicineList1Click();
    void SaveAsPdf1Click();
    void PastelDefault1Click() { applyColorScheme(0); }
    void CoolBlue1Click() { applyColorScheme(1); }
    void GreenYellow1Click() { applyColorScheme(2); }
    void PlainGrey1Click() { applyColorScheme(3); }

    void IconTray(QSystemTrayIcon::ActivationReason reason) { m_tray->IconTray(reason); }
    void ViewAlarmWindow1Click();
    void ExitVantrelPlanner1Click();
    void Exit1Click();
    void showFromNotificationArea() { ViewAlarmWindow1Click(); }
    void STFixTimer();

    // The logon session ends (or the process is asked to stop): save, stop the timers and close
    // the data store. With finalEnd the program then leaves; otherwise it waits to learn whether
    // the session really ends and comes back to work if it does not.
    void sessionEnding(bool finalEnd);
    void resumeAfterCancelledSessionEnd();

    // Calendar, profiles, lists and reminders: the pages, the profile bar and the reminder
    // dispatcher do the work.
    void PopulateCalendar();
    void cbPatientChange();
    void btnRemoveProfileClick();
    void sortLists();
    void showFirstListRows();
    void notiftimerTimer();
    void TimerConfigTimer();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void buildLayout();
    void buildTray();
    void openDataStore();
    void closeDataStore();
    void restoreGeometryFromSettings();
    void takeLayoutIntoSettings();
    void setProfileBarVisible(bool visible);
    // Every page follows a new current profile.
    void profileChanged(int patientRef);
    void writeAutoStartEntry();
    void showMainWindow();
    void runStep(const std::function<void()>& step);
    void showStartNotices();

    Context& m_ctx;
    PageHost m_host{m_ctx};
    std::unique_ptr<data::MainCursors> m_cursors;
    std::unique_ptr<ReminderDispatcher> m_reminders;

    QWidget* Panel1 = nullptr;
    NavBar* dxSideBar1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    ProfileBar* Panel40 = nullptr;
    QStackedWidget* PageControlEx1 = nullptr;
    CalendarPage* m_calendar = nullptr;
    MedicinesPage* m_medicines = nullptr;
    DoctorsPage* m_doctors = nullptr;
    HistoryPage* m_history = nullptr;
    WelcomePage* TabSheet4 = nullptr;

    TrayIcon* m_tray = nullptr;
    WakeController* m_wake = nullptr;
    QAction* m_fileExit = nullptr;
    QPointer<TfrmHelp> m_help;
    QTimer* m_notiftimer = nullptr;
    QTimer* STFix = nullptr;
    QTimer* m_sessionResume = nullptr;
    platform::TerminationWatcher* m_termination = nullptr;
    bool m_startMaximized = false;
    bool m_endingSession = false;
    bool m_settingsSaveFailed = false;
    bool m_starting = true; // until the first tick: what goes wrong is said after it, not in a box
};

} // namespace vantrel
