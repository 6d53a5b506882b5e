// Saves pictures of the main window's pages and colour schemes, for a person to look at:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/vantrel_screenshots OUTDIR
#include "app/datetime.h"
#include "notify/activenotif.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTimer>

using namespace vantrel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
    QDir().mkpath(out);
    test::MainWindowFixture f([](Settings& s) {
        s.Width = 820;
        s.Height = 620;
    });
    f.window->startShown(true);
    const auto snap = [&](const QString& name) {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        f.window->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    snap(QStringLiteral("welcome"));
    const char* pages[] = {"doctors", "medicines", "calendar"};
    for (int i = 0; i < 3; ++i) {
        f.window->dxSideBar1ItemClick(i);
        snap(QString::fromLatin1(pages[i]));
    }
    const char* schemes[] = {"PastelDefault1", "CoolBlue1", "GreenYellow1", "PlainGrey1"};
    for (const char* scheme : schemes) {
        f.find<QAction>(QString::fromLatin1(scheme))->trigger();
        f.window->dxSideBar1ItemClick(0);
        snap(QStringLiteral("scheme-%1-doctors").arg(QString::fromLatin1(scheme)));
        f.window->dxSideBar1ItemClick(1);
        snap(QStringLiteral("scheme-%1-medicines").arg(QString::fromLatin1(scheme)));
    }

    // Reminder windows: a dose with a message and a sound, an appointment without a message.
    const int med = test::addMedicine(f.ctx.db, QStringLiteral("Amoxicillin 500 mg"));
    const int doc = test::addDoctor(f.ctx.db, QStringLiteral("Anna"), QStringLiteral("Berger"));
    const double now = f.ctx.clock->nowValue();
    PopupRequest dose;
    dose.APPTTYPE = QStringLiteral("M");
    dose.MEDREF = med;
    dose.NOTIFMIN = 10;
    dose.NOTIFTEXT = QStringLiteral("Take one capsule with a full glass of water.");
    dose.PLAYAUDIO = true;
    dose.AUDIOFILE = QStringLiteral("/usr/share/sounds/alsa/Front_Center.wav");
    dose.eventTime = now + 10 * dt::kMinute;
    auto* a = TfrmActiveNotif::open(f.ctx, dose);
    PopupRequest appt;
    appt.APPTTYPE = QStringLiteral("D");
    appt.DRREF = doc;
    appt.NOTIFMIN = 30;
    appt.eventTime = now + 30 * dt::kMinute;
    auto* b = TfrmActiveNotif::open(f.ctx, appt);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    a->grab().save(out + QStringLiteral("/reminder-dose.png"));
    b->grab().save(out + QStringLiteral("/reminder-appointment.png"));
    return 0;
}
