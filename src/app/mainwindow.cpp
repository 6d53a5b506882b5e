#include "app/mainwindow.h"

#include "app/about.h"
#include "app/additionaloptions.h"
#include "app/calendartransfer.h"
#include "app/helpwindow.h"
#include "app/mainmenus.h"
#include "app/profilebar.h"
#include "app/wakecontroller.h"
#include "app/welcomepage.h"
#include "base/errors.h"
#include "base/logging.h"
#include "core/colorschemes.h"
#include "core/geometry.h"
#include "core/shared.h"
#include "notify/activenotif.h"
#include "notify/emaildialog.h"
#include "notify/reminderdispatcher.h"
#include "platform/sessionend.h"
#include "records/doctorspage.h"
#include "records/historypage.h"
#include "records/medicinespage.h"
#include "schedule/calendarpage.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/navbar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <utility>

namespace vantrel {

namespace {
QTimer* makeTimer(QObject* parent, const char* name, int interval, bool singleShot = false) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    t->setSingleShot(singleShot);
    return t;
}
} // namespace

TfrmMain::TfrmMain(Context& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(programIcon(QStringLiteral("planner")));
    m_reminders = std::make_unique<ReminderDispatcher>(m_ctx, this);
    buildLayout();
    m_fileExit = MainMenus::build(*this);

    // Every timer is off until the creation sequence or start-up turns it on.
    m_notiftimer = makeTimer(this, "notiftimer", 1000);
    STFix = makeTimer(this, "STFix", 100, true);
    m_sessionResume = makeTimer(this, "sessionResume", 30000, true);
    connect(m_notiftimer, &QTimer::timeout, this, &TfrmMain::notiftimerTimer);
    connect(STFix, &QTimer::timeout, this, &TfrmMain::STFixTimer);
    connect(m_sessionResume, &QTimer::timeout, this, &TfrmMain::resumeAfterCancelledSessionEnd);

    m_wake = new WakeController(
        m_ctx, [this] { return scheduler(); }, this);
    connect(m_wake, &WakeController::cannotWake, this, [this](const QString& text) {
        if (m_tray && trayAvailable())
            m_tray->showMessage(text);
        else
            Messages::warningWithoutWaiting(this, text);
    });
    connect(m_wake, &WakeController::mustEnd, this, [this](const QString& error) {
        // The program ends in order, as its exit from the notification area does.
        Messages::error(this, error);
        ExitVantrelPlanner1Click();
    });
    m_termination = new platform::TerminationWatcher(this);
    connect(m_termination, &platform::TerminationWatcher::terminationRequested, this,
            [this] { sessionEnding(true); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { sessionEnding(false); });
}

TfrmMain::~TfrmMain() {
    m_wake->Stop();
    // FormDestroy: the icon leaves the notification area with the window.
    if (m_tray) m_tray->hide();
    m_reminders.reset();
    m_cursors.reset();
}

bool TfrmMain::trayAvailable() const {
    return m_ctx.hooks.trayAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

// ---------------------------------------------------------------------------------------------
// Creation

// Once the tables are open, a step that fails is shown and the later steps still run: the
// reminder timer above all must start whatever happened to the calendar or the lists.
void TfrmMain::runStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        if (m_starting)
            m_ctx.tellAtStart(errorText(e), true);
        else
            Messages::error(this, errorText(e));
    }
}

// What start-up had to say, shown once the first tick has raised whatever was due; no box waits.
void TfrmMain::showStartNotices() {
    m_starting = false;
    const QList<Context::Notice> notices = std::exchange(m_ctx.startNotices, {});
    for (const Context::Notice& n : notices) {
        if (n.error)
            Messages::errorWithoutWaiting(this, n.text);
        else
            Messages::warningWithoutWaiting(this, n.text);
    }
    // Reminder windows stay above what was said.
    for (TfrmActiveNotif* w : openReminders())
        w->raise();
}

void TfrmMain::FormCreate() {
    const Settings& s = m_ctx.settings;
    m_ctx.ProgramPath = QCoreApplication::applicationFilePath();
    openDataStore();
    startupStep("tables opened");
    runStep([&] {
        m_calendar->showDay(m_ctx.clock->now().date());
        m_calendar->UpdateHeaders();
    });
    restoreGeometryFromSettings();
    m_medicines->setPanelHeights(s.medpan1h, s.medpan2h);
    m_doctors->setPanelHeights(s.docpan1h, s.docpan2h);
    m_calendar->restorePrecision(s.precision);
    m_calendar->restoreVisibleDays(s.dayview);
    Splitter1->setSizes({s.sbwidth, std::max(width() - s.sbwidth, 420)});
    // A stored scheme out of range keeps the designed colours and writes nothing.
    if (isValidScheme(s.colorscheme))
        runStep([&] { applyColorScheme(s.colorscheme); });
    else
        applyColorSchemeColours(Pastel);
    runStep([&] { PopulateCalendar(); });
    startupStep("calendar built");
    buildTray();
    runStep([&] { Panel40->selectFirstProfile(); });
    runStep([&] { sortLists(); });
    runStep([&] { showFirstListRows(); });
    startupStep("profile and lists shown");
    m_notiftimer->start();
    m_wake->watchPower();
    m_ctx.ShowCount = 1;
    TabSheet4->load(m_ctx.PagesDir);
    setProfileBarVisible(false);
    PageControlEx1->setCurrentWidget(TabSheet4);
    writeAutoStartEntry();
}

void TfrmMain::openDataStore() {
    // The folder first, so that a data folder that cannot be used is named as such.
    data::Database::prepareFolder(m_ctx.DataDir);
    m_ctx.makeTempDir();
    m_ctx.clearTempDir();
    m_ctx.db.open(m_ctx.DataDir);
    m_cursors = std::make_unique<data::MainCursors>(m_ctx.db);
    m_cursors->openAll();
    m_host.cursors = m_cursors.get();
    m_reminders->attach();
}

void TfrmMain::closeDataStore() {
    if (m_cursors) m_cursors->closeAll();
    m_ctx.db.close();
    m_ctx.clearTempDir();
}

void TfrmMain::restoreGeometryFromSettings() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(1024, 768);
    const RestoredGeometry g = vantrel::restoreGeometry(m_ctx.settings, size);
    // The client area is placed and saved alike, so the window does not creep by its frame.
    setGeometry(g.normal);
    m_startMaximized = g.maximized;
    if (g.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmMain::writeAutoStartEntry() {
    if (m_ctx.settings.AutoStart)
        runStep([&] { m_ctx.syncAutoStart(false); });
    else
        m_ctx.syncAutoStart(true);
}

void TfrmMain::startShown(bool shown) {
    if (shown) {
        m_ctx.ShowCount = 1;
        showMainWindow();
        return;
    }
    m_ctx.ShowCount = 0;
    if (IsNTPlatform()) STFix->start();
}

void TfrmMain::showEvent(QShowEvent* e) {
    m_ctx.MainShown = true;
    QMainWindow::showEvent(e);
}

// ---------------------------------------------------------------------------------------------
// Navigation, menus, colours

void TfrmMain::setProfileBarVisible(bool visible) {
    Panel40->setControlsVisible(visible);
}

void TfrmMain::dxSideBar1ItemClick(int index) {
    setProfileBarVisible(true);
    dxSideBar1->setCurrent(index);
    // 0 doctors, 1 medicines, 2 calendar, 3 history; any other index leaves the page.
    const QList<QWidget*> pages{m_doctors, m_medicines, m_calendar, m_history};
    if (index >= 0 && index < pages.size()) PageControlEx1->setCurrentWidget(pages[index]);
}

void TfrmMain::ViewStartupPage1Click() {
    setProfileBarVisible(false);
    dxSideBar1->setCurrent(-1);
    TabSheet4->load(m_ctx.PagesDir);
    PageControlEx1->setCurrentWidget(TabSheet4);
}

void TfrmMain::Contents1Click() {
    TfrmHelp::open(m_help, m_ctx.PagesDir, this);
}

void TfrmMain::About1Click() {
    auto* about = new TfrmAbout2(this);
    about->exec();
}

void TfrmMain::AdditionalOptions1Click() {
    TfrmAdditionalOptions dialog(m_ctx, this);
    dialog.exec();
}

void TfrmMain::emailSettings1Click() {
    Tfrmemail dialog(m_ctx, this);
    dialog.exec();
}

void TfrmMain::ExportCalendar1Click() {
    CalendarTransfer::exportCalendar(m_host);
}

// New plans, and perhaps new doctors and medicines: the lists, the calendar and the reminders
// follow.
void TfrmMain::ImportCalendar1Click() {
    if (!CalendarTransfer::importCalendar(m_host)) return;
    m_host.plansChanged({}, [this] {
        m_medicines->switchProfile(m_ctx.CurrentPatientRef);
        m_doctors->switchProfile(m_ctx.CurrentPatientRef);
    });
}

void TfrmMain::PrintMedicineList1Click() {
    CalendarTransfer::printMedicineList(m_host);
}

void TfrmMain::SaveAsPdf1Click() {
    CalendarTransfer::saveMedicineListAsPdf(m_host);
}

void TfrmMain::applyColorSchemeColours(int scheme) {
    m_medicines->applyColorScheme(scheme);
    m_doctors->applyColorScheme(scheme);
    m_history->applyColorScheme(scheme);
}

void TfrmMain::applyColorScheme(int scheme) {
    applyColorSchemeColours(scheme);
    m_ctx.settings.colorscheme = scheme;
    m_ctx.saveSettings();
}

// ---------------------------------------------------------------------------------------------
// Notification area and the window's life

void TfrmMain::showMainWindow() {
    if (m_startMaximized || windowState() & Qt::WindowMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

void TfrmMain::ViewAlarmWindow1Click() {
    ++m_ctx.ShowCount;
    showMainWindow();
}

void TfrmMain::ExitVantrelPlanner1Click() {
    m_ctx.ExitRequested = true;
    close();
}

void TfrmMain::Exit1Click() {
    close();
}

void TfrmMain::takeLayoutIntoSettings() {
    Settings& s = m_ctx.settings;
    if (isMaximized()) {
        s.Status = 1;
    } else if (!isMinimized()) {
        const QRect client = geometry();
        s.Height = client.height();
        s.Width = client.width();
        s.Left = client.x();
        s.Top = client.y();
        s.Status = 0;
    }
    // A page never shown this run keeps what was stored.
    const ListHeights medicines = m_medicines->panelHeights();
    const ListHeights doctors = m_doctors->panelHeights();
    s.medpan1h = medicines.upper;
    s.medpan2h = medicines.lower;
    s.docpan1h = doctors.upper;
    s.docpan2h = doctors.lower;
    s.precision = m_calendar->checkedPrecision();
    s.dayview = m_calendar->checkedDays();
    s.sbwidth = Panel1->width();
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    const bool mayClose = m_ctx.ExitRequested;
    takeLayoutIntoSettings();
    QString failure;
    try {
        m_ctx.saveSettings();
    } catch (const std::exception& ex) {
        failure = errorText(ex);
    }
    m_settingsSaveFailed = !failure.isEmpty();
    // While the session ends no box may hold the end up: the exit code tells of the failure.
    if (m_settingsSaveFailed && !m_endingSession) {
        Messages::error(this, failure);
        // Closing to the notification area waits for a save that works; exiting may go on
        // once the user knows what is lost.
        if (!mayClose || !Messages::confirm(this, QStringLiteral("The settings could not be saved. Exit "
                                                                 "Vantrel Planner anyway?"))) {
            m_ctx.ExitRequested = false;
            e->ignore();
            return;
        }
    }
    if (mayClose) {
        if (!m_ctx.SessionEnding) closeDataStore();
        m_notiftimer->stop();
        if (m_tray) m_tray->hide();
        e->accept();
        QCoreApplication::exit(m_settingsSaveFailed ? 1 : 0);
        return;
    }
    e->ignore();
    --m_ctx.ShowCount;
    if (m_ctx.ShowCount == 0 && IsNTPlatform()) TrimWorkingSet();
    // Without a notification area the program would vanish from sight: it stays minimised.
    if (trayAvailable())
        hide();
    else
        showMinimized();
}

// The hidden start shows the window once where nothing can be seen, so that it has been shown
// (and its native window exists) before the user first opens it from the notification area.
void TfrmMain::STFixTimer() {
    STFix->stop();
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
    if (m_ctx.ShowCount == 0 && IsNTPlatform()) TrimWorkingSet();
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
}

void TfrmMain::sessionEnding(bool finalEnd) {
    if (!m_ctx.SessionEnding) {
        m_ctx.ExitRequested = false;
        m_endingSession = true;
        close(); // saves the layout and hides the window
        Panel40->timerConfig()->stop();
        STFix->stop();
        m_notiftimer->stop();
        m_ctx.SessionEnding = true;
        closeDataStore();
        m_ctx.ExitRequested = true;
    }
    if (finalEnd) {
        m_sessionResume->stop();
        if (m_tray) m_tray->hide();
        QCoreApplication::exit(m_settingsSaveFailed ? 1 : 0);
    } else {
        m_sessionResume->start();
    }
}

void TfrmMain::resumeAfterCancelledSessionEnd() {
    if (!m_ctx.SessionEnding) return;
    m_endingSession = false;
    openDataStore();
    startupStep("tables opened");
    m_ctx.SessionEnding = false;
    m_ctx.ExitRequested = false;
    m_ctx.NotifsLoaded = false;
    runStep([&] { Panel40->selectFirstProfile(); });
    m_notiftimer->start();
}

// ---------------------------------------------------------------------------------------------
// Reminders

void TfrmMain::notiftimerTimer() {
    m_notiftimer->stop(); // no tick starts while this one runs, message boxes included
    m_reminders->tick();
    if (m_starting) {
        startupStep("first reminder tick");
        showStartNotices();
    }
    if (!m_ctx.SessionEnding && m_ctx.db.isOpen()) m_notiftimer->start();
}

Scheduler* TfrmMain::scheduler() const {
    return m_reminders->scheduler();
}

QList<TfrmActiveNotif*> TfrmMain::openReminders() const {
    return m_reminders->openReminders();
}

// ---------------------------------------------------------------------------------------------
// Calendar and profiles

void TfrmMain::PopulateCalendar() {
    m_calendar->PopulateCalendar();
}

void TfrmMain::cbPatientChange() {
    Panel40->cbPatientChange();
}
void TfrmMain::btnRemoveProfileClick() {
    Panel40->btnRemoveProfileClick();
}
void TfrmMain::TimerConfigTimer() {
    Panel40->TimerConfigTimer();
}

// The medicine list follows first, then the doctor list, then the calendar.
void TfrmMain::profileChanged(int patientRef) {
    m_medicines->switchProfile(patientRef);
    m_doctors->switchProfile(patientRef);
    m_calendar->switchProfile(patientRef);
    m_history->switchProfile(patientRef);
}

void TfrmMain::sortLists() {
    m_doctors->sortLists();
    m_medicines->sortLists();
}

void TfrmMain::showFirstListRows() {
    m_medicines->showFirstRow();
    m_doctors->showFirstRow();
}

} // namespace vantrel
