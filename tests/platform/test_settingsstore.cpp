#include "base/errors.h"
#include "platform/linux/inisettings.h"
#include "support/testsupport.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vantrel;
using platform::IniSettingsStore;
using platform::StoredValue;

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    // A save that cannot be written whole (the disk is full; here the process may write no file
    // longer than the old one) says so and leaves the old file exactly as it was, password and all.
    void aSaveThatCannotBeWrittenLeavesTheOldFileAsItWas() {
        test::Sandbox box;
        const QString file = box.path("cfg/planner.reg");
        IniSettingsStore s(file.toStdString());
        s.setValue("\\SOFTWARE\\Vantrel\\Planner", "SMTPPass", StoredValue::fromText("s3cret"));
        s.save();
        const QByteArray before = test::readAll(file);
        // A small file, as settings are: it is written from a buffer only when it is closed.
        for (int i = 0; i < 20; ++i)
            s.setValue("\\SOFTWARE\\Vantrel\\Planner", "Value" + std::to_string(i),
                       StoredValue::fromText(std::string(100, 'v')));
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{static_cast<rlim_t>(before.size() + 100), old.rlim_max};
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
        QString said;
        try {
            s.save();
        } catch (const PlatformError& e) {
            said = e.message();
        }
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        QVERIFY2(said.contains("Cannot write the settings file") && said.contains("left as it was"),
                 qPrintable(said));
        QCOMPARE(test::readAll(file), before);
        QCOMPARE(QDir(box.path("cfg")).entryList(QDir::Files | QDir::Hidden), QStringList({"planner.reg"}));
    }

    void valuesKeepTheirTypeAcrossSaveAndLoad() {
        test::Sandbox box;
        const std::string file = box.path("s.reg").toStdString();
        const std::string tricky = "quote \" back\\slash ; semi\nline two \xC3\xA4\xC3\xB6 \xE2\x82\xAC";
        {
            IniSettingsStore s(file);
            s.setValue("\\SOFTWARE\\Vantrel\\Planner", "Count", StoredValue::fromInteger(0xFFFFFFFEu));
            s.setValue("\\SOFTWARE\\Vantrel\\Planner", "Text", StoredValue::fromText(tricky));
            s.setValue("\\SOFTWARE\\Vantrel\\Planner", "Number as text", StoredValue::fromText("5"));
            s.save();
        }
        IniSettingsStore s(file);
        QVERIFY(s.loadProblem().empty());
        QCOMPARE(s.value("SOFTWARE\\Vantrel\\Planner", "count"), StoredValue::fromInteger(0xFFFFFFFEu));
        QCOMPARE(s.value("software\\vantrel\\planner", "TEXT")->text, tricky);
        QCOMPARE(s.value("\\SOFTWARE\\Vantrel\\Planner", "Number as text")->type, StoredValue::Type::Text);
        QVERIFY(!s.value("\\SOFTWARE\\Vantrel\\Planner", "missing"));
    }

    void keyNamesIgnoreCaseSoTheWindowGroupIsASubkey() {
        test::Sandbox box;
        IniSettingsStore s(box.path("s.reg").toStdString());
        QVERIFY(!s.keyExists("\\SOFTWARE\\Vantrel\\Planner"));
        s.createKey("\\Software\\Vantrel\\Planner\\Main");
        QVERIFY(s.keyExists("\\SOFTWARE\\Vantrel\\Planner"));
        QVERIFY(!s.keyExists("\\SOFTWARE\\Vantrel\\Plan"));
        s.setValue("\\SOFTWARE\\VANTREL\\PLANNER\\MAIN", "Width", StoredValue::fromInteger(1));
        QCOMPARE(s.value("\\Software\\Vantrel\\Planner\\Main", "width")->integer, 1u);
    }

    void theFileIsPrivateAndReplacedWhole() {
        test::Sandbox box;
        const QString file = box.path("deep/dir/s.reg");
        IniSettingsStore s(file.toStdString());
        s.setValue("K", "SMTPPass", StoredValue::fromText("secret"));
        s.save();
        struct stat st {};
        QCOMPARE(::stat(file.toLocal8Bit().constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QVERIFY(!QFile::exists(file + ".tmp"));
        // The password is stored as plain text, readable by its owner.
        QVERIFY(test::readAll(file).contains("\"SMTPPass\"=\"secret\""));
    }

    void aDamagedFileKeepsWhatCanBeReadAndSaysWhy() {
        test::Sandbox box;
        const QString file = box.path("s.reg");
        test::writeAll(file,
                       "[K]\n\"A\"=dword:00000007\nrubbish line\n\"B\"=dword:zz\n\"C\"=\"ok\"\n[broken\n");
        IniSettingsStore s(file.toStdString());
        QVERIFY(!s.loadProblem().empty());
        QCOMPARE(QString::fromStdString(s.loadProblem()), QStringLiteral("line 3: not a value line"));
        QCOMPARE(s.value("K", "A")->integer, 7u);
        QVERIFY(!s.value("K", "B"));
        QCOMPARE(s.value("K", "C")->text, std::string("ok"));
    }

    void removingAMissingValueIsNoError() {
        test::Sandbox box;
        IniSettingsStore s(box.path("s.reg").toStdString());
        s.removeValue("K", "nothing");
        s.setValue("K", "v", StoredValue::fromInteger(1));
        s.removeValue("k", "V");
        QVERIFY(!s.value("K", "v"));
    }

    void anUnwritableFolderIsReported() {
        test::Sandbox box;
        QDir().mkpath(box.path("ro"));
        QFile::setPermissions(box.path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (::geteuid() == 0) QSKIP("root writes anywhere");
        IniSettingsStore s(box.path("ro/s.reg").toStdString());
        s.setValue("K", "v", StoredValue::fromInteger(1));
        QVERIFY_THROWS_EXCEPTION(std::exception, s.save());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
