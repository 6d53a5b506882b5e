#include "core/settings.h"
#include "platform/linux/inisettings.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;
using platform::IniSettingsStore;
using platform::StoredValue;

namespace {
std::optional<std::string> us() {
    return std::string("United States");
}
std::optional<std::string> germany() {
    return std::string("Germany");
}

Settings savedDefaults(IniSettingsStore& store, int screenHeight = 1080) {
    Settings s;
    SetDefaultSettings(s, screenHeight, us);
    SaveSettings(s, store);
    return s;
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultHeightFollowsTheScreen_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("height");
        QTest::newRow("701") << 701 << 680;
        QTest::newRow("700") << 700 << 580;
        QTest::newRow("600") << 600 << 580;
        QTest::newRow("599") << 599 << 400;
    }
    void defaultHeightFollowsTheScreen() {
        QFETCH(int, screen);
        QFETCH(int, height);
        Settings s;
        SetDefaultSettings(s, screen, us);
        QCOMPARE(s.Height, height);
    }

    void phoneFormatFollowsTheCountry() {
        Settings s;
        SetDefaultSettings(s, 800, us);
        QCOMPARE(s.PhoneFormat, 0);
        SetDefaultSettings(s, 800, germany);
        QCOMPARE(s.PhoneFormat, 1);
        SetDefaultSettings(s, 800, [] { return std::optional<std::string>(); });
        QCOMPARE(s.PhoneFormat, 1);
        // A regional value that cannot be read keeps the format the record had.
        s.PhoneFormat = 0;
        SetDefaultSettings(s, 800,
                           []() -> std::optional<std::string> { throw std::runtime_error("not text"); });
        QCOMPARE(s.PhoneFormat, 0);
        QCOMPARE(s.AutoStart, true);
        QCOMPARE(s.precision, 30);
        QCOMPARE(s.dayview, 3);
    }

    void aSavedRecordLoadsBackWhole() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        Settings s;
        SetDefaultSettings(s, 900, germany);
        s.AutoStart = false;
        s.SMTPServer = QStringLiteral("mail.example.com");
        s.SMTPPass = QStringLiteral("p\"a;ss\nw\u00f6rd");
        s.Left = -50;
        s.colorscheme = 3;
        SaveSettings(s, store);

        IniSettingsStore reread(box.path("s.reg").toStdString());
        Settings loaded;
        SetDefaultSettings(loaded, 900, us);
        QVERIFY(!LoadSettings(loaded, reread));
        QCOMPARE(loaded, s);
        // Nine general values and thirteen window values, all of them stored.
        const QByteArray text = test::readAll(box.path("s.reg"));
        // The 22 values of the first two groups, and the 5 of the reminders group that came later.
        QCOMPARE(text.count("=dword:") + text.count("=\""), 22 + 5);
    }

    void theGeneralGroupStopsAtTheFirstMissingOrMistypedValue() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        savedDefaults(store);
        store.setValue(kGeneralKey, "DisableNotifs", StoredValue::fromInteger(1));
        store.removeValue(kGeneralKey, "allowwake");
        store.setValue(kGeneralKey, "UseSMTP", StoredValue::fromInteger(1));

        Settings s;
        SetDefaultSettings(s, 1080, germany);
        QVERIFY(!LoadSettings(s, store));
        QCOMPARE(s.DisableNotifs, true); // read before the gap
        QCOMPARE(s.PhoneFormat, 0);      // read before the gap
        QCOMPARE(s.UseSMTP, false);      // after the gap: the default stays

        store.setValue(kGeneralKey, "allowwake", StoredValue::fromText("1"));
        Settings t;
        SetDefaultSettings(t, 1080, germany);
        QVERIFY(!LoadSettings(t, store));
        QCOMPARE(t.UseSMTP, false);
    }

    void aBadWindowValueIsReportedAndTheRestKeepDefaults() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        savedDefaults(store);
        store.setValue(kWindowKey, "Width", StoredValue::fromInteger(1000));
        store.removeValue(kWindowKey, "Left");
        Settings s;
        SetDefaultSettings(s, 1080, us);
        auto warning = LoadSettings(s, store);
        QCOMPARE(warning.value_or(QString()), QStringLiteral("Failed to get data for 'Left'"));
        QCOMPARE(s.Width, 1000);
        QCOMPARE(s.Top, 50);

        store.setValue(kWindowKey, "Left", StoredValue::fromInteger(10));
        store.setValue(kWindowKey, "precision", StoredValue::fromText("15"));
        warning = LoadSettings(s, store);
        QCOMPARE(warning.value_or(QString()), QStringLiteral("Invalid data type for 'precision'"));
        QCOMPARE(s.Left, 10);
        QCOMPARE(s.precision, 30);
    }

    // The reminder values stand alone: one mistyped or out of what the options allow keeps its
    // default and is named; the others are read.
    void aBadReminderValueKeepsItsDefaultAlone() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        savedDefaults(store);
        store.setValue(kRemindersKey, "RemindAgain", StoredValue::fromInteger(1));
        store.setValue(kRemindersKey, "RemindAgainMinutes", StoredValue::fromInteger(0));
        store.setValue(kRemindersKey, "RemindAgainTimes", StoredValue::fromInteger(5));
        store.setValue(kRemindersKey, "CatchUpHours", StoredValue::fromInteger(100000));
        Settings s;
        QCOMPARE(LoadSettings(s, store).value_or(QString()), QStringLiteral("Invalid value for 'RemindAgainMinutes'"));
        QVERIFY(s.RemindAgain);
        QCOMPARE(s.RemindAgainMinutes, 10);
        QCOMPARE(s.RemindAgainTimes, 5);
        QCOMPARE(s.CatchUpHours, 12);
        store.setValue(kRemindersKey, "RemindAgainMinutes", StoredValue::fromInteger(30));
        store.setValue(kRemindersKey, "RemindAgainTimes", StoredValue::fromText("many"));
        Settings t;
        QCOMPARE(LoadSettings(t, store).value_or(QString()), QStringLiteral("Invalid data type for 'RemindAgainTimes'"));
        QCOMPARE(t.RemindAgainMinutes, 30);
        QCOMPARE(t.RemindAgainTimes, 3);
    }

    void oneByteValuesKeepTheirLowByte() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        savedDefaults(store);
        store.setValue(kWindowKey, "colorscheme", StoredValue::fromInteger(0x102));
        store.setValue(kGeneralKey, "AutoStart", StoredValue::fromInteger(7));
        Settings s;
        QVERIFY(!LoadSettings(s, store));
        QCOMPARE(s.colorscheme, 2);
        QCOMPARE(s.AutoStart, true); // any non-zero reads as true
    }

    void writeAndDeleteOneValue() {
        test::Sandbox box;
        IniSettingsStore store(box.path("s.reg").toStdString());
        WriteRegValue(store, "Software\\Other", "Name", StoredValue::fromText("x"));
        IniSettingsStore reread(box.path("s.reg").toStdString());
        QCOMPARE(reread.value("software\\other", "name")->text, std::string("x"));
        DeleteRegValue(reread, "Software\\Other", "Name");
        DeleteRegValue(reread, "Software\\Other", "Name");
        QVERIFY(!IniSettingsStore(box.path("s.reg").toStdString()).value("Software\\Other", "Name"));
    }

    void theLogonEntryFollowsAutoStart() {
        test::Sandbox box;
        auto entry = platform::makeAutoStartEntry(box.configDir().toStdString());
        syncAutoStart(true, *entry, QStringLiteral("/opt/my tools/vantrel-planner"), false);
        QCOMPARE(entry->command(kAppTitle).value_or(""),
                 std::string("\"/opt/my tools/vantrel-planner\" startup"));
        // Moving the program corrects the entry at the next start.
        syncAutoStart(true, *entry, QStringLiteral("/usr/bin/vantrel-planner"), false);
        QCOMPARE(entry->command(kAppTitle).value_or(""), std::string("/usr/bin/vantrel-planner startup"));
        syncAutoStart(false, *entry, QString(), false);
        QVERIFY(!entry->command(kAppTitle));
        syncAutoStart(false, *entry, QString(), false); // a missing entry is no error
        const QString file = box.configDir() + "/autostart/vantrel-planner.desktop";
        // A data folder given on the command line is kept, quoted like the path.
        syncAutoStart(true, *entry, QStringLiteral("/usr/bin/vantrel-planner"), false,
                      QStringLiteral("/home/ann/my data"));
        QCOMPARE(entry->command(kAppTitle).value_or(""),
                 std::string("/usr/bin/vantrel-planner --data-dir \"/home/ann/my data\" startup"));
        syncAutoStart(true, *entry, QStringLiteral("/a/$odd`\"path\"/100%"), false);
        QVERIFY(test::readAll(file).contains("Exec=\"/a/\\$odd\\`\\\"path\\\"/100%%\" startup\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
