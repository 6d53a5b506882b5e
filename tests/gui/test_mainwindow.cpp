#include "app/additionaloptions.h"
#include "app/helpwindow.h"
#include "base/version.h"
#include "core/colorschemes.h"
#include "platform/linux/inisettings.h"
#include "records/doctorspage.h"
#include "records/medicinespage.h"
#include "schedule/calendarpage.h"
#include "support/guifixture.h"
#include "ui/dialogs.h"
#include "widgets/navbar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

// The items a person sees in the menu.
QStringList menuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (a->isVisible()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QColor windowColour(QWidget* w) {
    return w->palette().color(QPalette::Window);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void theWindowOpensOnTheWelcomePageWithTheProfileBarHidden() {
        MainWindowFixture f;
        f.window->show();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vantrel Planner"));
        auto* pages = f.find<QStackedWidget>("PageControlEx1");
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
        QVERIFY(!f.find<QComboBox>("cbPatient")->isVisible());
        QVERIFY(!f.find<QPushButton>("btnAddProfile")->isVisible());
        QVERIFY(f.find<QTextBrowser>("html1")->toPlainText().contains("Welcome to Vantrel Planner"));
        QVERIFY(f.window->notiftimer()->isActive());
        QCOMPARE(f.ctx.ShowCount, 1);
        for (const char* name :
             {"Panel1",           "dxSideBar1",    "Splitter1",        "Panel40",          "Label24",
              "TabSheet1",        "TabSheet2",     "TabSheet3",        "Panel32",          "Panel13",
              "Panel24",          "Panel17",       "ScrollBox1",       "ScrollBox2",       "StatusBar1",
              "MonthCalendar1",   "DBPlanner1",    "DBAdvStringGrid1", "DBAdvStringGrid2", "DBAdvStringGrid3",
              "DBAdvStringGrid4", "btnEditDoctor", "btnEditMedicine"})
            QVERIFY2(f.find<QWidget>(name), name);
    }

    void navigationSwitchesPagesAndShowsTheProfileBar() {
        MainWindowFixture f;
        f.window->show();
        auto* pages = f.find<QStackedWidget>("PageControlEx1");
        auto* bar = f.find<NavBar>("dxSideBar1");
        QCOMPARE(bar->count(), 4);
        QCOMPARE(bar->item(0)->text(), QStringLiteral("Doctors"));
        QCOMPARE(bar->item(2)->text(), QStringLiteral("Calendar"));
        QCOMPARE(bar->item(3)->text(), QStringLiteral("History"));
        const QStringList expected{"TabSheet3", "TabSheet2", "TabSheet1", "TabSheet5"};
        for (int i = 0; i < 4; ++i) {
            f.window->dxSideBar1ItemClick(i);
            QCOMPARE(pages->currentWidget()->objectName(), expected[i]);
        }
        f.window->dxSideBar1ItemClick(1);
        f.window->dxSideBar1ItemClick(7); // no such item: the page stays
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
        QVERIFY(f.find<QComboBox>("cbPatient")->isVisible());
        QTest::mouseClick(bar->item(0), Qt::LeftButton);
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet3"));

        f.find<QAction>("ViewStartupPage1")->trigger();
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
        QVERIFY(!f.find<QComboBox>("cbPatient")->isVisible());
    }

    void theMenusHoldTheirItemsInOrder() {
        MainWindowFixture f;
        QStringList titles;
        for (QAction* a : f.window->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"File", "Options", "Links", "Help"}));
        QCOMPARE(menuTexts(f.find<QMenu>("File1")),
                 QStringList({"Export Calendar...", "Import Calendar...", "-", "Print Medicine List...",
                              "Save as PDF...", "-", "&Close"}));
        QCOMPARE(menuTexts(f.find<QMenu>("Options1")),
                 QStringList(
                     {"Color Scheme", "email Settings", "Additional Options...", "-", "View Welcome Page"}));
        QCOMPARE(menuTexts(f.find<QMenu>("ColorScheme1")),
                 QStringList({"Cool Blue", "Green/Yellow", "Pastel", "Grey"}));
        QCOMPARE(menuTexts(f.find<QMenu>("Links1")),
                 QStringList({"Online Support...", "Online Forums...", "-", "Pembra Software Home Page",
                              "Vantrel Home Page"}));
        QCOMPARE(menuTexts(f.find<QMenu>("Help1")), QStringList({"Contents", "-", "About"}));
    }

    void everySchemeColoursTheFourteenContainersAndIsSaved() {
        MainWindowFixture f;
        const QStringList items{"PastelDefault1", "CoolBlue1", "GreenYellow1", "PlainGrey1"};
        // Spot values of the table, per scheme: medicine list, dosing list, details.
        const QList<QList<QColor>> spot{
            {QColor(255, 227, 215), QColor(255, 254, 213), QColor(239, 236, 255)},
            {QColor(238, 238, 255), QColor(224, 224, 245), QColor(208, 208, 238)},
            {QColor(221, 242, 220), QColor(255, 248, 191), QColor(221, 242, 220)},
            {QColor(221, 221, 221), QColor(221, 221, 221), QColor(221, 221, 221)}};
        for (int scheme = 0; scheme < 4; ++scheme) {
            f.find<QAction>(items[scheme])->trigger();
            int containers = 0;
            // The fourteen containers by the part of their page they colour.
            const QList<QPair<SchemeRole, QStringList>> groups{
                {SchemeRole::List, {"Panel33", "Panel34", "Panel35", "Panel25", "Panel26", "Panel27"}},
                {SchemeRole::Plans, {"Panel14", "Panel28", "Panel29", "Panel20", "Panel21", "Panel22"}},
                {SchemeRole::Details, {"ScrollBox1", "ScrollBox2"}}};
            for (const auto& [role, names] : groups) {
                const std::uint32_t c = schemeColour(role, scheme);
                for (const QString& name : names) {
                    QCOMPARE(windowColour(f.find<QWidget>(name)), QColor(redOf(c), greenOf(c), blueOf(c)));
                    ++containers;
                }
            }
            QCOMPARE(containers, 14);
            QCOMPARE(windowColour(f.find<QWidget>("Panel34")), spot[scheme][0]);
            QCOMPARE(windowColour(f.find<QWidget>("Panel20")), spot[scheme][1]);
            QCOMPARE(windowColour(f.find<QScrollArea>("ScrollBox2")->widget()), spot[scheme][2]);
            Settings stored;
            LoadSettings(stored, f.reloadStore());
            QCOMPARE(stored.colorscheme, scheme);
        }
    }

    void aStoredSchemeOutOfRangeKeepsPastelAndSavesNothing() {
        const auto removeFile = [](MainWindowFixture& f) { QFile::remove(f.box.settingsFile()); };
        {
            MainWindowFixture f([](Settings& s) { s.colorscheme = 7; }, removeFile);
            QCOMPARE(windowColour(f.find<QWidget>("Panel33")), QColor(255, 227, 215));
            QCOMPARE(f.ctx.settings.colorscheme, 7);
            QVERIFY(!QFile::exists(f.box.settingsFile()));
        }

        MainWindowFixture g([](Settings& s) { s.colorscheme = 1; }, removeFile);
        QCOMPARE(windowColour(g.find<QWidget>("Panel25")), QColor(238, 238, 255));
        QVERIFY(QFile::exists(g.box.settingsFile())); // written back at every start
    }

    void theStoredLayoutIsRestored() {
        MainWindowFixture f([](Settings& s) {
            s.Width = 700;
            s.Height = 600;
            s.Left = 20;
            s.Top = 30;
            s.medpan1h = 150;
            s.medpan2h = 90;
            s.docpan1h = 110;
            s.docpan2h = 130;
            s.precision = 60;
            s.dayview = 5;
            s.sbwidth = 120;
        });
        f.window->show();
        QCOMPARE(f.window->size(), QSize(700, 600));
        QCOMPARE(f.window->calendarPage()->precision(), 60);
        QCOMPARE(f.window->calendarPage()->visibleDays(), 5);
        QVERIFY(f.find<QRadioButton>("rbprec60")->isChecked());
        QVERIFY(f.find<QRadioButton>("rb5days")->isChecked());
        QTRY_COMPARE(f.find<QWidget>("Panel1")->width(), 120);
        f.window->dxSideBar1ItemClick(1);
        QTRY_COMPARE(f.find<QWidget>("Panel32")->height(), 150);
        QCOMPARE(f.find<QWidget>("Panel13")->height(), 90);
        f.window->dxSideBar1ItemClick(0);
        QTRY_COMPARE(f.find<QWidget>("Panel24")->height(), 110);
        QCOMPARE(f.find<QWidget>("Panel17")->height(), 130);
    }

    // Lists stored as slivers by an earlier run open usable, and a page not shown in a run keeps
    // the heights it had.
    void listHeightsHealAndAPageNotShownKeepsItsHeights() {
        MainWindowFixture f([](Settings& s) {
            s.medpan1h = 23;
            s.medpan2h = 23;
            s.docpan1h = 140;
            s.docpan2h = 5000;
        });
        f.window->show();
        f.window->dxSideBar1ItemClick(1);
        QTRY_VERIFY(f.find<QWidget>("Panel32")->height() >= kMinListBlock);
        QVERIFY(f.find<QWidget>("Panel13")->height() >= kMinListBlock);
        QVERIFY(f.find<QPushButton>("BitBtn12")->geometry().bottom() <
                f.find<QWidget>("Panel33")->height()); // the last button shows whole
        f.window->close();
        Settings stored;
        LoadSettings(stored, f.reloadStore());
        QVERIFY(stored.medpan1h >= kMinListBlock);
        // The doctors page was not opened: the lists keep their stored heights, made usable.
        QCOMPARE(stored.docpan1h, 140);
        QCOMPARE(stored.docpan2h, 5000);
        f.window->dxSideBar1ItemClick(0);
        f.window->show();
        QTRY_VERIFY(f.find<QWidget>("Panel17")->height() < f.find<QWidget>("TabSheet3")->height() - 100);
        QVERIFY(f.find<QWidget>("Panel24")->height() >= kMinListBlock);
    }

    void unknownCalendarChoicesKeepTheDesignedOnes() {
        MainWindowFixture f([](Settings& s) {
            s.precision = 20;
            s.dayview = 2;
        });
        QVERIFY(f.find<QRadioButton>("rbprec15")->isChecked());
        QVERIFY(f.find<QRadioButton>("rb1day")->isChecked());
        QCOMPARE(f.window->calendarPage()->precision(), 15);
    }

    void aMaximisedLayoutOpensMaximised() {
        MainWindowFixture f([](Settings& s) { s.Status = 1; });
        f.window->startShown(true);
        QTRY_VERIFY(f.window->isMaximized());
    }

    void theOptionsDialogEditsFourSettings() {
        MainWindowFixture f;
        const QString entry = f.box.configDir() + "/autostart/vantrel-planner.desktop";
        QVERIFY(QFile::exists(entry));
        test::whenModal<TfrmAdditionalOptions>([](TfrmAdditionalOptions* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Additional Options"));
            QVERIFY(d->findChild<QCheckBox*>("chkAutoStart")->isChecked());
            QVERIFY(!d->findChild<QCheckBox*>("chkUSPhone")->isChecked()); // PhoneFormat 1
            d->findChild<QCheckBox*>("chkAutoStart")->setChecked(false);
            d->findChild<QCheckBox*>("chkDisableNotifs")->setChecked(true);
            d->findChild<QCheckBox*>("chkWake")->setChecked(true);
            QTest::mouseClick(d->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        f.find<QAction>("AdditionalOptions1")->trigger();
        QVERIFY(!QFile::exists(entry)); // gone at once
        Settings stored;
        LoadSettings(stored, f.reloadStore());
        QCOMPARE(stored.AutoStart, false);
        QCOMPARE(stored.DisableNotifs, true);
        QCOMPARE(stored.PhoneFormat, 1);
        QCOMPARE(stored.allowwake, true);

        test::whenModal<TfrmAdditionalOptions>([](TfrmAdditionalOptions* d) {
            d->findChild<QCheckBox*>("chkAutoStart")->setChecked(true);
            d->findChild<QCheckBox*>("chkUSPhone")->setChecked(true);
            QTest::mouseClick(d->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        f.find<QAction>("AdditionalOptions1")->trigger();
        // The window was started on its own data folder: the entry starts it on the same one.
        QVERIFY(test::readAll(entry).contains(QFile::encodeName(f.ctx.ProgramPath) + " --data-dir " +
                                              QFile::encodeName(f.box.dataDir()) + " startup"));
        QCOMPARE(f.ctx.settings.PhoneFormat, 0);

        test::whenModal<TfrmAdditionalOptions>([](TfrmAdditionalOptions* d) {
            d->findChild<QCheckBox*>("chkDisableNotifs")->setChecked(false);
            QTest::mouseClick(d->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        f.find<QAction>("AdditionalOptions1")->trigger();
        QCOMPARE(f.ctx.settings.DisableNotifs, true);
    }

    void theAboutBoxShowsTheVersion() {
        MainWindowFixture f;
        f.window->show();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QStringLiteral("About Vantrel Planner"));
            QVERIFY(d->findChild<QLabel*>("lblVersion")->text().contains(QStringLiteral(VANTREL_VERSION)));
            seen = true;
            QTest::mouseClick(d->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        f.find<QAction>("About1")->trigger();
        QVERIFY(seen);
    }

    void linksOpenTheirPagesInTheBrowser() {
        MainWindowFixture f;
        QStringList opened;
        bool works = true;
        f.ctx.hooks.desktopOpener = [&](const QString& target) {
            opened << target;
            return works;
        };
        for (const char* item : {"OnlineSupport1", "OnlineForums1", "PembraHomePage1", "VantrelHomePage1"})
            f.find<QAction>(QString::fromLatin1(item))->trigger();
        QCOMPARE(opened, QStringList({kSupportUrl, kForumsUrl, kMakerUrl, kProductUrl}));
        for (const QString& url : opened)
            QVERIFY(url.startsWith("https://www.pembra.example/"));
        QVERIFY(Messages::shown().isEmpty());
        works = false;
        f.find<QAction>("VantrelHomePage1")->trigger();
        QCOMPARE(Messages::shown(), QStringList({"Error starting player program."}));
        // The e-mail settings open their dialog.
        auto dialog = test::whenModal<QDialog>([](QDialog* d) {
            QCOMPARE(d->objectName(), QStringLiteral("Tfrmemail"));
            d->reject();
        });
        f.find<QAction>("emailSettings1")->trigger();
        QVERIFY(dialog->ran);
        QCOMPARE(Messages::shown().size(), 1);
    }

    // The welcome page counts its steps 1 to 4 in order, each with its icon; the help pages
    // say where the prescription number is shown.
    void theWelcomeStepsCountInOrderWithTheirIcons() {
        MainWindowFixture f;
        const QString page = QString::fromUtf8(test::readAll(f.ctx.ProgramDir + "web/index.html"));
        static const QRegularExpression step(
            QStringLiteral("<b>(\\d)\\.</b></td>\\s*<td[^>]*><img src=\"([^\"]+)\""));
        QStringList numbers;
        for (auto it = step.globalMatch(page); it.hasNext();) {
            const auto m = it.next();
            numbers << m.captured(1);
            QVERIFY2(QFile::exists(f.ctx.ProgramDir + "web/" + m.captured(2)), qPrintable(m.captured(2)));
        }
        QCOMPARE(numbers, QStringList({"1", "2", "3", "4"}));
        const QString help = QString::fromUtf8(test::readAll(f.ctx.ProgramDir + "help/medicines.html"));
        QVERIFY(!help.contains("details and prescription number"));
        QVERIFY(f.find<QTextBrowser>("html1")->toPlainText().contains("Create a profile for each person."));
    }

    // Help opens in a window of the program, with no browser at all.
    void helpOpensInItsOwnWindowWithBackForwardAndContents() {
        MainWindowFixture f;
        f.ctx.hooks.desktopOpener = [](const QString&) { return false; };
        f.find<QAction>("Contents1")->trigger();
        QVERIFY(Messages::shown().isEmpty());
        auto* help = f.find<TfrmHelp>("TfrmHelp");
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QTextBrowser* b = help->browser();
        QVERIFY(b->source().toLocalFile().endsWith("/help/index.html"));
        QVERIFY(QFile::exists(b->source().toLocalFile())); // the build puts the pages next to the program
        QCOMPARE(help->windowTitle(), QStringLiteral("Vantrel Planner Help"));
        auto* back = help->findChild<QPushButton*>("btnHelpBack");
        auto* forward = help->findChild<QPushButton*>("btnHelpForward");
        QVERIFY(!back->isEnabled());
        b->setSource(QUrl(QStringLiteral("medicines.html")));
        QVERIFY(b->source().toString().endsWith("medicines.html"));
        QVERIFY(back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(b->source().toLocalFile().endsWith("/help/index.html"));
        QVERIFY(forward->isEnabled());
        QTest::mouseClick(forward, Qt::LeftButton);
        QTest::mouseClick(help->findChild<QPushButton*>("btnHelpContents"), Qt::LeftButton);
        QVERIFY(b->source().toLocalFile().endsWith("/help/index.html"));
        // Asked again, the same window comes forward.
        f.find<QAction>("Contents1")->trigger();
        QCOMPARE(f.window->findChildren<TfrmHelp*>().size(), 1);
        help->close();
    }

    void aStoredAutoStartOfZeroDeletesTheEntry() {
        MainWindowFixture f([](Settings& s) { s.AutoStart = false; });
        QVERIFY(!QFile::exists(f.box.configDir() + "/autostart/vantrel-planner.desktop"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
