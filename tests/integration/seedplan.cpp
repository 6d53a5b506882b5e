// Test helper: writes a profile, a medicine and a one-time dose due a few seconds from now into
// a data folder, and prints the due moment as seconds since the epoch. With
// `--mail SERVER SETTINGSFILE` the reminder also goes by e-mail, over SMTP to SERVER.
#include "core/datetime.h"
#include "core/settings.h"
#include "data/database.h"
#include "data/table.h"
#include "support/plans.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

using namespace vantrel;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 6) {
        std::fprintf(stderr, "usage: seedplan DATADIR SECONDS [--mail SERVER SETTINGSFILE]\n");
        return 2;
    }
    const bool mail = argc == 6;
    if (mail) {
        Settings s;
        SetDefaultSettings(s, 768, {});
        s.UseSMTP = true;
        s.SMTPServer = QString::fromLocal8Bit(argv[4]);
        SaveSettings(s, *platform::openSettingsFile(argv[5]));
    }
    data::Database db(QStringLiteral("seed"));
    db.open(QString::fromLocal8Bit(argv[1]));
    db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES ('Test Person')"));
    const int med = test::addMedicine(db, QStringLiteral("Vitamin D"));
    db.run(QStringLiteral("INSERT INTO mlref (PATIENTREF, MEDREF) VALUES (1, ?)"), {med});
    // Whole seconds, so the printed moment is exactly the stored one.
    QDateTime due = QDateTime::currentDateTime().addSecs(QByteArray(argv[2]).toInt());
    due.setTime(QTime(due.time().hour(), due.time().minute(), due.time().second()));
    test::PlanSpec p;
    p.medicine = med;
    p.start = dt::fromQDateTime(due);
    p.text = QStringLiteral("Take it with water");
    if (mail) p.notifType = QStringLiteral("B");
    test::addPlan(db, p);
    if (mail)
        db.run(QStringLiteral("UPDATE notif SET EMAILFROM = 'planner@example.org', EMAILTO = 'ann@example.org', "
                              "EMAILSUBJECT = 'Vitamin D', EMAILMESSAGE = 'Take it with water'"));
    db.close();
    std::printf("%lld\n", static_cast<long long>(due.toSecsSinceEpoch()));
    return 0;
}
