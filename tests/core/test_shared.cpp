// Runs under a day-month locale (de_DE) in Berlin time.
#include "core/datetime.h"
#include "core/options.h"
#include "core/shared.h"
#include "session/context.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;

class TestShared : public QObject {
    Q_OBJECT
private slots:
    void datesAreMonthFirstWhateverTheLocale() {
        QCOMPARE(QLocale::system().territory(), QLocale::Germany);
        const double v = dt::encode(2026, 3, 7, 14, 5, 9);
        QCOMPARE(dt::formatDate(v), QStringLiteral("3/7/2026"));
        QCOMPARE(dt::formatTime(v), QStringLiteral("02:05:09 PM"));
        QCOMPARE(dt::formatTime(dt::encode(2026, 3, 7, 0, 30)), QStringLiteral("12:30:00 AM"));
        QCOMPARE(dt::formatDateTime(dt::encode(2026, 12, 25)), QStringLiteral("12/25/2026"));
        QCOMPARE(dt::floatToText(46000.25), QStringLiteral("46000.25"));
        QCOMPARE(dt::textToFloat(QStringLiteral("46000.25")), 46000.25);
    }

    void dateValuesCountDaysFrom1899() {
        QCOMPARE(dt::encode(1899, 12, 30), 0.0);
        QCOMPARE(dt::encode(1900, 1, 1, 18), 2.75);
        const double v = dt::encode(2026, 12, 9, 8, 30);
        QCOMPARE(dt::dayOfWeek(v), 4);                        // a Wednesday
        QCOMPARE(dt::dayOfWeek(dt::encode(2026, 12, 6)), 1);  // Sunday
        QCOMPARE(dt::dayOfWeek(dt::encode(2026, 12, 12)), 7); // Saturday
        QCOMPARE(dt::fromQDateTime(dt::toQDateTime(v)), v);
        QCOMPARE(dt::toQDateTime(v), QDateTime(QDate(2026, 12, 9), QTime(8, 30)));
        // Local wall time on the day the clocks go forward in Berlin.
        const QDateTime after(QDate(2026, 3, 29), QTime(3, 15));
        QCOMPARE(dt::fromQDateTime(after), dt::encode(2026, 3, 29, 3, 15));
    }

    void splitListTrimsThePieces() {
        QStringList out;
        int n = -1;
        SplitList(QStringLiteral(" a@x.org ;b@y.org;  c@z.org  "), out, n);
        QCOMPARE(n, 3);
        QCOMPARE(out, QStringList({"a@x.org", "b@y.org", "c@z.org"}));
        out.clear();
        SplitList(QString(), out, n);
        QCOMPARE(n, 1);
        QCOMPARE(out, QStringList({""}));
        out.clear();
        SplitList(QStringLiteral("a;;b;"), out, n);
        QCOMPARE(out, QStringList({"a", "", "b", ""}));
    }

    void startupArgumentInAnyCaseAnywhere() {
        QVERIFY(parseArguments({"/p/vantrel-planner", "StartUp"}).hidden);
        QVERIFY(parseArguments({"/p/vantrel-planner", "--data-dir", "/d", "STARTUP"}).hidden);
        QVERIFY(!parseArguments({"/p/vantrel-planner"}).hidden);
        QVERIFY(!parseArguments({"/p/vantrel-planner", "startups"}).hidden);
        const auto o = parseArguments({"/p/vantrel-planner", "--data-dir", "/some dir"});
        QCOMPARE(o.dataDir, QStringLiteral("/some dir"));
        QVERIFY(!parseArguments({"/p/vantrel-planner", "--data-dir"}).error.isEmpty());
        QVERIFY(!parseArguments({"/p/vantrel-planner", "--bogus"}).error.isEmpty());
    }

    // The tasks without a window: one at a time, each with its file, and a profile where needed.
    void commandLineTasks() {
        using Task = StartupOptions::Task;
        const auto e = parseArguments({"/p/vantrel-planner", "--export-ics", "out.ics"});
        QVERIFY(e.error.isEmpty());
        QCOMPARE(e.task, Task::ExportCalendar);
        QCOMPARE(e.taskFile, QStringLiteral("out.ics"));
        const auto i = parseArguments({"/p/vantrel-planner", "--import-ics", "in.ics", "--profile", "Alice Tester"});
        QVERIFY(i.error.isEmpty());
        QCOMPARE(i.task, Task::ImportCalendar);
        QCOMPARE(i.profile, QStringLiteral("Alice Tester"));
        QCOMPARE(parseArguments({"/p/vantrel-planner", "--print-pdf", "l.pdf", "--profile", "A"}).task, Task::PrintList);
        for (const QStringList& bad : {QStringList{"--import-ics", "in.ics"}, QStringList{"--print-pdf", "l.pdf"},
                                       QStringList{"--export-ics", "a", "--print-pdf", "b", "--profile", "A"},
                                       QStringList{"--profile", "A"}, QStringList{"--export-ics", ""}})
            QVERIFY2(!parseArguments(QStringList{"/p/vantrel-planner"} + bad).error.isEmpty(), qPrintable(bad.join(' ')));
    }

    void clearTempFolderKeepsHiddenFilesAndFolders() {
        test::Sandbox box;
        const QString temp = box.path("temp");
        QDir().mkpath(temp + "/sub");
        test::writeAll(temp + "/a.tmp", "x");
        test::writeAll(temp + "/b", "x");
        test::writeAll(temp + "/.hidden", "x");
        QFile::setPermissions(temp + "/b", QFileDevice::ReadOwner);
        ClearTempFolder(temp);
        QVERIFY(!QFile::exists(temp + "/a.tmp"));
        QVERIFY(!QFile::exists(temp + "/b"));
        QVERIFY(QFile::exists(temp + "/.hidden"));
        QVERIFY(QDir(temp + "/sub").exists());
        ClearTempFolder(box.path("no such folder"));
    }

    void dataFolderRule() {
        test::Sandbox box;
        QCOMPARE(chooseDataDir(box.path("given"), box.path(), box.path("user")), box.path("given"));
        QCOMPARE(chooseDataDir(QString(), box.path(), box.path("user")), box.path());
        QCOMPARE(chooseDataDir(QString(), box.path("missing"), box.path("user")), box.path("user"));
    }

    // The pages beside the program win (a build); an installed program finds them under share/.
    void pagesFolderRule() {
        test::Sandbox box;
        const QString bin = box.path("prefix/bin") + "/";
        const QString share = QDir::cleanPath(box.path("prefix/share/vantrel-planner")) + "/";
        QDir().mkpath(bin);
        QCOMPARE(choosePagesDir(bin), bin); // neither: the program's folder, whose page is missing
        QDir().mkpath(share + "web");
        test::writeAll(share + "web/index.html", "<p>");
        QCOMPARE(choosePagesDir(bin), share);
        QDir().mkpath(bin + "web");
        test::writeAll(bin + "web/index.html", "<p>");
        QCOMPARE(choosePagesDir(bin), bin);
    }
};

QTEST_GUILESS_MAIN(TestShared)
#include "test_shared.moc"
