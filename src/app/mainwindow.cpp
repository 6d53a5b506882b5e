#include "app/mainwindow.h"

#include "app/about.h"
#include "app/additionaloptions.h"
#include "app/helpwindow.h"
#include "app/profilebar.h"
#include "app/wakethread.h"
#include "base/errors.h"
#include "core/colorschemes.h"
#include "core/geometry.h"
#include "core/shared.h"
#include "notify/activenotif.h"
#include "notify/emaildialog.h"
#include "notify/reminderdispatcher.h"
#include "platform/power.h"
#include "platform/sessionend.h"
#include "records/doctorspage.h"
#include "records/medicinespage.h"
#include "records/recordspage.h"
#include "schedule/appointmentwizard.h"
#include "schedule/calendarpage.h"
#include "schedule/dosingwizard.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/datagrid.h"
#include "widgets/navbar.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

// Resources of a static library are registered by hand, once.
static bool initPlannerResources() {
    Q_INIT_RESOURCE(resources);
    return true;
}

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
    [[maybe_unused]] static const bool resourcesReady = initPlannerResources();
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/planner.svg")));
    m_reminders = std::make_unique<ReminderDispatcher>(m_ctx, this);
    buildLayout();
    buildMenus();

    // Every timer is off until the creation sequence or start-up turns it on.
    m_notiftimer = makeTimer(this, "notiftimer", 1000);
    STFix = makeTimer(this, "STFix", 100, true);
    m_sessionResume = makeTimer(this, "sessionResume", 30000, true);
    connect(m_notiftimer, &QTimer::timeout, this, &TfrmMain::notiftimerTimer);
    connect(STFix, &QTimer::timeout, this, &TfrmMain::STFixTimer);
    connect(m_sessionResume, &QTimer::timeout, this, &TfrmMain::resumeAfterCancelledSessionEnd);

    m_termination = new platform::TerminationWatcher(this);
    connect(m_termination, &platform::TerminationWatcher::terminationRequested, this,
            [this] { sessionEnding(true); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { sessionEnding(false); });
}

TfrmMain::~TfrmMain() {
    Stop();
    // FormDestroy: the icon leaves the notification area with the window.
    if (m_tray) m_tray->hide();
    m_reminders.reset();
    m_cursors.reset();
}

bool TfrmMain::trayAvailable() const {
    return m_ctx.hooks.trayAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

// ---------------------------------------------------------------------------------------------
// Layout

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
    dxSideBar1->addItem(QIcon(QStringLiteral(":/icons/doctors.svg")), QStringLiteral("Doctors"));
    dxSideBar1->addItem(QIcon(QStringLiteral(":/icons/medicines.svg")), QStringLiteral("Medicines"));
    dxSideBar1->addItem(QIcon(QStringLiteral(":/icons/calendar.svg")), QStringLiteral("Calendar"));
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
    TabSheet4 = new QWidget(PageControlEx1);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    auto* welcome = new QVBoxLayout(TabSheet4);
    welcome->setContentsMargins(0, 0, 0, 0);
    html1 = new QTextBrowser(TabSheet4);
    html1->setObjectName(QStringLiteral("html1"));
    html1->setOpenExternalLinks(true);
    QPalette p = html1->palette();
    p.setColor(QPalette::Base, Qt::white);
    html1->setPalette(p);
    html1->document()->setDefaultFont(QFont(QStringLiteral("Times New Roman")));
    welcome->addWidget(html1);
    for (QWidget* page : {static_cast<QWidget*>(m_calendar), static_cast<QWidget*>(m_medicines),
                          static_cast<QWidget*>(m_doctors), TabSheet4})
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

void TfrmMain::buildMenus() {
    auto add = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto link = [this](QMenu* menu, const char* name, const QString& text, const QString& url) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, url] { openLink(url); });
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "Exit1", QStringLiteral("&Close"), &TfrmMain::Exit1Click);
    // Without a notification area, closing only minimises: the program is ended from here.
    m_fileExit = add(file, "ExitVantrelPlanner2", QStringLiteral("E&xit Vantrel Planner"),
                     &TfrmMain::ExitVantrelPlanner1Click);
    m_fileExit->setVisible(false);

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QMenu* schemes = options->addMenu(QStringLiteral("Color Scheme"));
    schemes->setObjectName(QStringLiteral("ColorScheme1"));
    add(schemes, "CoolBlue1", QStringLiteral("Cool Blue"), &TfrmMain::CoolBlue1Click);
    add(schemes, "GreenYellow1", QStringLiteral("Green/Yellow"), &TfrmMain::GreenYellow1Click);
    add(schemes, "PastelDefault1", QStringLiteral("Pastel"), &TfrmMain::PastelDefault1Click);
    add(schemes, "PlainGrey1", QStringLiteral("Grey"), &TfrmMain::PlainGrey1Click);
    add(options, "emailSettings1", QStringLiteral("email Settings"), &TfrmMain::emailSettings1Click);
    add(options, "AdditionalOptions1", QStringLiteral("Additional Options..."),
        &TfrmMain::AdditionalOptions1Click);
    options->addSeparator();
    add(options, "ViewStartupPage1", QStringLiteral("View Welcome Page"), &TfrmMain::ViewStartupPage1Click);

    QMenu* links = menuBar()->addMenu(QStringLiteral("Links"));
    links->setObjectName(QStringLiteral("Links1"));
    link(links, "OnlineSupport1", QStringLiteral("Online Support..."), kSupportUrl);
    link(links, "OnlineForums1", QStringLiteral("Online Forums..."), kForumsUrl);
    links->addSeparator();
    link(links, "PembraHomePage1", QStringLiteral("Pembra Software Home Page"), kMakerUrl);
    link(links, "VantrelHomePage1", QStringLiteral("Vantrel Home Page"), kProductUrl);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    add(help, "Contents1", QStringLiteral("Contents"), &TfrmMain::Contents1Click);
    help->addSeparator();
    add(help, "About1", QStringLiteral("About"), &TfrmMain::About1Click);
}

void TfrmMain::buildTray() {
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("TrayIcon"));
    m_tray->setToolTip(QString::fromLatin1(kAppTitle));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* view = PopupMenu1->addAction(QStringLiteral("&View Vantrel Planner Window"));
    view->setObjectName(QStringLiteral("ViewAlarmWindow1"));
    connect(view, &QAction::triggered, this, &TfrmMain::ViewAlarmWindow1Click);
    QAction* exit = PopupMenu1->addAction(QStringLiteral("E&xit Vantrel Planner"));
    exit->setObjectName(QStringLiteral("ExitVantrelPlanner1"));
    connect(exit, &QAction::triggered, this, &TfrmMain::ExitVantrelPlanner1Click);
    // The right button opens this menu; a single left click does nothing.
    m_tray->setContextMenu(PopupMenu1);
    connect(m_tray, &QSystemTrayIcon::activated, this, &TfrmMain::IconTray);
    m_tray->show();
    m_fileExit->setVisible(!trayAvailable());
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
    runStep([&] {
        m_calendar->showDay(m_ctx.clock->now().date());
        UpdateHeaders();
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
    buildTray();
    runStep([&] { selectFirstProfile(); });
    runStep([&] { sortLists(); });
    runStep([&] { showFirstListRows(); });
    m_notiftimer->start();
    watchPower();
    m_ctx.ShowCount = 1;
    loadWelcomePage();
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
    switch (index) {
    case 0:
        PageControlEx1->setCurrentWidget(m_doctors);
        break;
    case 1:
        PageControlEx1->setCurrentWidget(m_medicines);
        break;
    case 2:
        PageControlEx1->setCurrentWidget(m_calendar);
        break;
    case 3:
        PageControlEx1->setCurrentWidget(TabSheet4);
        break;
    default:
        break;
    }
}

void TfrmMain::loadWelcomePage() {
    const QString page = m_ctx.ProgramDir + QStringLiteral("web/index.html");
    // A missing page leaves the viewer empty, without a message.
    if (QFileInfo::exists(page))
        html1->setSource(QUrl::fromLocalFile(page));
    else
        html1->clear();
}

void TfrmMain::ViewStartupPage1Click() {
    setProfileBarVisible(false);
    dxSideBar1->setCurrent(-1);
    loadWelcomePage();
    PageControlEx1->setCurrentWidget(TabSheet4);
}

void TfrmMain::Contents1Click() {
    const QString contents = m_ctx.ProgramDir + QStringLiteral("help/index.html");
    if (!QFileInfo::exists(contents)) {
        Messages::warning(this, QStringLiteral("The help pages cannot be found in \"%1\".")
                                    .arg(QDir::toNativeSeparators(QFileInfo(contents).path())));
        return;
    }
    if (!m_help) {
        m_help = new TfrmHelp(contents, this);
        m_help->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_help->showContents();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void TfrmMain::openLink(const QString& url) {
    ShellOpen(url, this);
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

void TfrmMain::applyColorSchemeColours(int scheme) {
    m_medicines->applyColorScheme(scheme);
    m_doctors->applyColorScheme(scheme);
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

void TfrmMain::IconTray(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) ViewAlarmWindow1Click();
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
    m_ctx.SessionEnding = false;
    m_ctx.ExitRequested = false;
    m_ctx.NotifsLoaded = false;
    runStep([&] { selectFirstProfile(); });
    m_notiftimer->start();
}

// ---------------------------------------------------------------------------------------------
// Reminders

void TfrmMain::notiftimerTimer() {
    m_notiftimer->stop(); // no tick starts while this one runs, message boxes included
    m_reminders->tick();
    if (m_starting) showStartNotices();
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

void TfrmMain::UpdateHeaders() {
    m_calendar->UpdateHeaders();
}
void TfrmMain::PopulateCalendar() {
    m_calendar->PopulateCalendar();
}

void TfrmMain::LoadPatientList() {
    Panel40->LoadPatientList();
}
void TfrmMain::selectFirstProfile() {
    Panel40->selectFirstProfile();
}
void TfrmMain::cbPatientChange() {
    Panel40->cbPatientChange();
}
void TfrmMain::btnAddProfileClick() {
    Panel40->btnAddProfileClick();
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
}

void TfrmMain::sortLists() {
    for (RecordsPage* page : {static_cast<RecordsPage*>(m_doctors), static_cast<RecordsPage*>(m_medicines)}) {
        page->listGrid()->resort();
        page->planGrid()->resort();
    }
}

void TfrmMain::showFirstListRows() {
    for (RecordsPage* page : {static_cast<RecordsPage*>(m_medicines), static_cast<RecordsPage*>(m_doctors)}) {
        page->listGrid()->selectShownRow(1);
        page->rowChanging(1);
    }
}

// ---------------------------------------------------------------------------------------------
// Waking from standby

void TfrmMain::watchPower() {
    if (m_power) return;
    m_power = platform::makePowerEvents(this);
    if (!m_power->active()) return; // no logind: the program runs as before and never wakes the computer
    m_power->takeInhibitor();
    connect(m_power, &platform::PowerEvents::goingToSleep, this, [this] {
        WM_Powerbroadcast(0);
        // Ready: the system may sleep now.
        m_power->releaseInhibitor();
    });
    connect(m_power, &platform::PowerEvents::resumed, this, [this] {
        WM_Powerbroadcast(7);
        m_power->takeInhibitor();
    });
}

void TfrmMain::WM_Powerbroadcast(int event) {
    if (GetOSName() == QLatin1String("Windows 95") || !m_ctx.settings.allowwake || !scheduler() ||
        scheduler()->firstPending() <= 0)
        return;
    switch (event) {
    case 0:
        Arm();
        break;
    case 2:
    case 3:
    case 6:
    case 7:
    case 8:
        Stop();
        break;
    default:
        break;
    }
}

void TfrmMain::Arm() {
    const double pending = scheduler()->firstPending();
    Stop();
    auto* thread = new TMyThread(pending, m_ctx.hooks.wakeTimerFactory);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &TMyThread::timerUnavailable, this, [this](const QString& reason) {
        // Said once a run: the user allowed waking, and it cannot be done here.
        if (m_wakeProblemTold) return;
        m_wakeProblemTold = true;
        const QString text = QStringLiteral("The computer cannot be woken for reminders: %1.").arg(reason);
        if (m_tray && trayAvailable())
            m_tray->showMessage(QString::fromLatin1(kAppTitle), text, QSystemTrayIcon::Warning);
        else
            Messages::warningWithoutWaiting(this, text);
    });
    connect(thread, &TMyThread::timerNotSet, this, [this](const QString& error) {
        // The program ends in order, as its exit from the notification area does.
        Messages::error(this, error);
        ExitVantrelPlanner1Click();
    });
    m_wake = thread;
    WakeArmed = true;
    ++m_wakeThreadsMade;
    thread->start();
    if (!thread->isRunning() && !thread->isFinished()) {
        Messages::warning(this, QStringLiteral("Error creating thread."));
        throw PlatformError("Error creating thread.");
    }
}

TMyThread* TfrmMain::wakeThread() const {
    return m_wake.data();
}

void TfrmMain::Stop() {
    if (!WakeArmed) return;
    if (m_wake) {
        m_wake->requestStop();
        m_wake->wait();
    }
    WakeArmed = false;
}

} // namespace vantrel
