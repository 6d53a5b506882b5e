// The window's life: closing to the notification area, exit, hidden start, end of session.
#include "support/guifixture.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {
Settings storedSettings(MainWindowFixture& f) {
    Settings s;
    LoadSettings(s, f.reloadStore());
    return s;
}
} // namespace

class TestLifecycle : public QObject {
    Q_OBJECT
private slots:
    void closingHidesTheWindowAndSavesTheLayout() {
        MainWindowFixture f;
        f.window->startShown(true);
        f.window->setGeometry(33, 44, 640, 520);
        f.window->dxSideBar1ItemClick(2);
        QTest::mouseClick(f.find<QWidget>("rbprec60"), Qt::LeftButton);
        QTest::mouseClick(f.find<QWidget>("rb3days"), Qt::LeftButton);
        QTRY_COMPARE(f.window->geometry(), QRect(33, 44, 640, 520));
        f.find<QAction>("Exit1")->trigger(); // File, Close
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.ctx.ShowCount, 0);
        QVERIFY(f.ctx.db.isOpen());
        QVERIFY(f.window->notiftimer()->isActive());
        const Settings s = storedSettings(f);
        QCOMPARE(s.Width, 640);
        QCOMPARE(s.Height, 520);
        QCOMPARE(s.Left, 33);
        QCOMPARE(s.Top, 44);
        QCOMPARE(s.Status, 0);
        QCOMPARE(s.precision, 60);
        QCOMPARE(s.dayview, 3);
        QCOMPARE(s.sbwidth, f.find<QWidget>("Panel1")->width());
        // The medicines page was never shown: its stored heights stay as they were.
        QCOMPARE(s.medpan1h, 120);

        // Back from the notification area, and closed again.
        f.window->IconTray(QSystemTrayIcon::Trigger); // a single click does nothing
        QVERIFY(!f.window->isVisible());
        f.window->IconTray(QSystemTrayIcon::DoubleClick);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.ctx.ShowCount, 1);
        f.window->close();
        QVERIFY(!f.window->isVisible());
        f.find<QAction>("ViewAlarmWindow1")->trigger();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.ctx.ShowCount, 1);
    }

    void theIconCarriesItsTipAndMenu() {
        MainWindowFixture f;
        QCOMPARE(f.window->trayIcon()->toolTip(), QStringLiteral("Vantrel Planner"));
        QStringList items;
        for (QAction* a : f.window->trayIcon()->contextMenu()->actions())
            if (!a->isSeparator()) items << a->text();
        // "Dismiss All Reminders" came with the answered reminders.
        QCOMPARE(items, QStringList({"&View Vantrel Planner Window", "Dismiss All Reminders",
                                     "E&xit Vantrel Planner"}));
    }

    void aMaximisedWindowStoresStatusAndKeepsItsSize() {
        MainWindowFixture f([](Settings& s) {
            s.Width = 610;
            s.Height = 480;
        });
        f.window->startShown(true);
        f.window->showMaximized();
        QTRY_VERIFY(f.window->isMaximized());
        f.window->close();
        const Settings s = storedSettings(f);
        QCOMPARE(s.Status, 1);
        QCOMPARE(s.Width, 610);
        QCOMPARE(s.Height, 480);
    }

    void withoutANotificationAreaTheFileMenuEndsTheProgram() {
        {
            MainWindowFixture withTray;
            QVERIFY(!withTray.find<QAction>("ExitVantrelPlanner2")->isVisible());
        }
        MainWindowFixture f({}, [](MainWindowFixture& g) { g.ctx.hooks.trayAvailable = false; });
        auto* exit = f.find<QAction>("ExitVantrelPlanner2");
        QVERIFY(exit->isVisible());
        QCOMPARE(exit->text(), QStringLiteral("E&xit Vantrel Planner"));
        QVERIFY(f.find<QMenu>("File1")->actions().contains(exit));
        f.window->startShown(true);
        exit->trigger();
        QVERIFY(f.ctx.ExitRequested);
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.ctx.db.isOpen());
    }

    // A folder named "temp" that the program did not make is left alone; the program uses a
    // folder of its own beside it, private and emptied at start and exit.
    void aTempFolderOfSomeoneElseIsLeftAlone() {
        MainWindowFixture f({}, [](MainWindowFixture& g) {
            QDir().mkpath(g.box.dataDir() + "/temp");
            test::writeAll(g.box.dataDir() + "/temp/their.txt", "keep me");
        });
        QCOMPARE(test::readAll(f.box.dataDir() + "/temp/their.txt"), QByteArray("keep me"));
        QVERIFY(f.ctx.tempDir() != f.box.dataDir() + "/temp");
        QVERIFY(QFileInfo(f.ctx.tempDir()).isDir());
        QCOMPARE(QFileInfo(f.ctx.tempDir()).permissions() & 0x0077, QFileDevice::Permissions());
        test::writeAll(f.ctx.tempDir() + "/scratch.tmp", "x");
        f.window->startShown(true);
        f.find<QAction>("ExitVantrelPlanner1")->trigger();
        QVERIFY(QDir(f.ctx.tempDir()).entryList(QDir::Files).isEmpty());
        QCOMPARE(test::readAll(f.box.dataDir() + "/temp/their.txt"), QByteArray("keep me"));
    }

    void withoutANotificationAreaClosingMinimises() {
        MainWindowFixture f;
        f.ctx.hooks.trayAvailable = false;
        f.window->startShown(true);
        f.window->close();
        QVERIFY(f.window->isVisible());
        QTRY_VERIFY(f.window->isMinimized());
    }

    void exitSavesClosesTheStoreAndEmptiesTheTempFolder() {
        MainWindowFixture f;
        f.window->startShown(false); // hidden, as at logon
        test::writeAll(f.ctx.tempDir() + "/scratch.tmp", "x");
        f.find<QAction>("ExitVantrelPlanner1")->trigger();
        QVERIFY(f.ctx.ExitRequested);
        QVERIFY(!f.ctx.db.isOpen());
        QVERIFY(!f.window->notiftimer()->isActive());
        QVERIFY(!f.window->trayIcon()->isVisible());
        QVERIFY(QDir(f.ctx.tempDir()).entryList(QDir::Files).isEmpty());
        QVERIFY(QFile::exists(f.box.settingsFile()));
    }

    void aHiddenStartShowsNothingAndCountsZero() {
        MainWindowFixture f;
        QVERIFY(!f.ctx.MainShown);
        f.window->startShown(false);
        QCOMPARE(f.ctx.ShowCount, 0);
        QVERIFY(!f.window->isVisible());
        QTRY_VERIFY(f.ctx.MainShown); // the hidden-start timer showed it off-screen once
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.window->geometry().topLeft(), QPoint(50, 50));
        f.window->ViewAlarmWindow1Click();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.ctx.ShowCount, 1);
        // Saved where it was restored: the window does not creep from start to start.
        f.window->close();
        const Settings s = storedSettings(f);
        QCOMPARE(QRect(s.Left, s.Top, s.Width, s.Height), QRect(50, 50, 600, 680));
    }

    void theEndOfTheSessionSavesAndClosesAndACancelReopens() {
        MainWindowFixture f;
        f.window->startShown(true);
        f.window->resize(650, 500);
        f.window->sessionEnding(false);
        QVERIFY(!f.window->isVisible());
        QVERIFY(f.ctx.SessionEnding);
        QVERIFY(f.ctx.ExitRequested);
        QVERIFY(!f.ctx.db.isOpen());
        QVERIFY(!f.window->notiftimer()->isActive());
        QCOMPARE(storedSettings(f).Width, 650);

        f.window->resumeAfterCancelledSessionEnd();
        QVERIFY(!f.ctx.SessionEnding);
        QVERIFY(!f.ctx.ExitRequested);
        QVERIFY(f.ctx.db.isOpen());
        QVERIFY(f.window->notiftimer()->isActive());
        QVERIFY(f.window->cursors().tbpatient.active());
    }

    void aSettingsFileThatCannotBeWrittenKeepsTheWindowOpen() {
        MainWindowFixture f;
        f.window->startShown(true);
        // A folder where the file should be makes every save fail.
        QFile::remove(f.box.settingsFile());
        QDir().mkpath(f.box.settingsFile());
        f.window->close();
        QVERIFY(f.window->isVisible());
        QCOMPARE(Messages::shown().size(), 1);
        QDir(f.box.settingsFile()).removeRecursively();
    }

    // Exiting when the settings cannot be written: the error once, then the choice to exit anyway.
    void exitWithSettingsThatCannotBeWrittenAsksBeforeItGoes() {
        MainWindowFixture f;
        f.window->startShown(true);
        QFile::remove(f.box.settingsFile());
        QDir().mkpath(f.box.settingsFile());
        Messages::setNextAnswer(QMessageBox::Ok);
        Messages::setNextAnswer(QMessageBox::No);
        f.find<QAction>("ExitVantrelPlanner1")->trigger();
        QCOMPARE(Messages::shown().size(), 2);
        QCOMPARE(Messages::shown()[1],
                 QStringLiteral("The settings could not be saved. Exit Vantrel Planner anyway?"));
        QVERIFY(f.window->isVisible());
        QVERIFY(f.ctx.db.isOpen());
        QVERIFY(!f.ctx.ExitRequested);
        Messages::setNextAnswer(QMessageBox::Ok);
        Messages::setNextAnswer(QMessageBox::Yes);
        f.find<QAction>("ExitVantrelPlanner1")->trigger();
        QCOMPARE(Messages::shown().size(), 4);
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.ctx.db.isOpen());
        QDir(f.box.settingsFile()).removeRecursively();
    }
};

QTEST_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
