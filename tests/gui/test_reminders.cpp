// The pop-up window of a due reminder, and the main window raising it.
#include "core/datetime.h"
#include "data/schema.h"
#include "notify/activenotif.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

class FakePlayer : public platform::AudioPlayer {
public:
    static inline int created = 0;
    static inline QStringList played;
    static inline FakePlayer* last = nullptr;
    static inline bool failNext = false;
    bool isPlaying = false;

    FakePlayer() {
        ++created;
        last = this;
    }
    ~FakePlayer() override {
        if (last == this) last = nullptr;
    }
    void play(const std::string& file) override {
        played << QString::fromStdString(file);
        if (failNext) {
            failNext = false;
            onError("Cannot open the file.");
            return;
        }
        isPlaying = true;
    }
    void stop() override {
        if (!isPlaying) return;
        isPlaying = false;
        if (onFinished) onFinished();
    }
    bool playing() const override { return isPlaying; }
    void finish() { stop(); }
};

double at(int h, int m, int s = 0, int ms = 0) {
    return dt::encode(2026, 1, 5, h, m, s) + ms / 86400000.0;
}

test::Popup appointment(double event, int before, const QString& text = QStringLiteral("Bring the X-rays")) {
    test::Popup r;
    r.APPTTYPE = "D";
    r.DRREF = 1;
    r.NOTIFMIN = before;
    r.NOTIFTEXT = text;
    r.eventTime = event;
    return r;
}

QString label(QWidget* w, const char* name) {
    return w->findChild<QLabel*>(name)->text();
}

// A window whose reminders play through the fake player.
struct ReminderFixture : MainWindowFixture {
    ReminderFixture() {
        ctx.hooks.playerFactory = [] { return std::make_unique<FakePlayer>(); };
    }
};

// The reminder table comes back; a dose at 9:05 is raised when it falls due.
void repairAndRaiseADose(ReminderFixture& f) {
    f.ctx.db.run(data::tableDef("notif").createSql("notif"));
    test::PlanSpec p;
    p.start = at(9, 5);
    test::addPlan(f.ctx.db, p);
    f.window->notiftimerTimer();
    f.clock->setValue(at(9, 5, 1));
    f.window->notiftimerTimer();
    QCOMPARE(f.window->openReminders().size(), 1);
}

} // namespace

class TestReminders : public QObject {
    Q_OBJECT
private slots:
    void init() {
        FakePlayer::created = 0;
        FakePlayer::played.clear();
    }

    // What the start has to say (a mistyped setting, a step that failed) holds nothing up: no box
    // before the window and the reminder timer run, and after the first tick a box that does not
    // wait, below the reminder windows.
    void startWarningsWaitForTheFirstTickAndHoldNothingUp() {
        MainWindowFixture f({}, [](MainWindowFixture& fx) {
            fx.ctx.tellAtStart(QStringLiteral("Invalid data type for 'Width'"));
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(f.window->notiftimer()->isActive());
        f.ctx.hooks.answerMessages = false;
        f.window->notiftimerTimer();
        QCOMPARE(Messages::shown(), QStringList({"Invalid data type for 'Width'"}));
        QVERIFY(!QApplication::activeModalWidget());
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
        QVERIFY(box);
        QCOMPARE(box->windowModality(), Qt::NonModal);
        box->close();
        f.ctx.hooks.answerMessages = true;
        f.window->notiftimerTimer();
        QCOMPARE(Messages::shown().size(), 1); // said once
    }

    void anAppointmentCountsDownInWholeMinutes() {
        ReminderFixture f;
        test::addDoctor(f.ctx.db, "Greg", "House");
        f.clock->setValue(at(9, 45, 0, 400));
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 15)));
        QCOMPARE(w->windowTitle(), QStringLiteral("Vantrel Notification"));
        QCOMPARE(label(w, "notifname"), QStringLiteral("Notification: Appointment - Dr. Greg House"));
        QCOMPARE(label(w, "notifdelay"), QStringLiteral("Appointment occurs in 15 minutes."));
        QCOMPARE(w->findChild<QPlainTextEdit*>("notifmsg")->toPlainText(),
                 QStringLiteral("Bring the X-rays"));
        f.clock->setValue(at(9, 45, 2, 400));
        w->Timer1Timer();
        QCOMPARE(label(w, "notifdelay"), QStringLiteral("Appointment occurs in 14 minutes."));
        f.clock->setValue(at(9, 45, 0));
        w->Timer1Timer();
        QCOMPARE(label(w, "notifdelay"),
                 QStringLiteral("Appointment occurs in 15 minutes.")); // exactly 15 left
        f.clock->setValue(at(10, 0));
        w->Timer1Timer();
        QCOMPARE(label(w, "notifdelay"), QString());
        f.clock->setValue(at(10, 5));
        w->Timer1Timer();
        QCOMPARE(label(w, "notifdelay"), QString());
        w->close();
    }

    void aDoseAtItsOwnTimeShowsNoCountdown() {
        ReminderFixture f;
        const int med = test::addMedicine(f.ctx.db, QStringLiteral("Vitamin D \u00e9"));
        f.clock->setValue(at(8, 0, 1));
        test::Popup r;
        r.APPTTYPE = "M";
        r.MEDREF = med;
        r.NOTIFMIN = 0;
        r.NOTIFTEXT = "With water";
        r.eventTime = at(8, 0);
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        QCOMPARE(label(w, "notifname"), QStringLiteral("Notification: Medicine - Vitamin D \u00e9"));
        QCOMPARE(label(w, "notifdelay"), QString());
        w->Timer1Timer();
        QCOMPARE(label(w, "notifdelay"), QString());
        r.MEDREF = 999; // no such medicine: the name stays empty
        r.NOTIFMIN = 5;
        r.eventTime = at(8, 4, 30);
        auto* v = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        QCOMPARE(label(v, "notifname"), QStringLiteral("Notification: Medicine - "));
        QCOMPARE(label(v, "notifdelay"), QStringLiteral("Dose occurs in 5 minutes."));
        v->Timer1Timer();
        QCOMPARE(label(v, "notifdelay"), QStringLiteral("Dose occurs in 4 minutes."));
        w->close();
        v->close();
    }

    void anEmptyMessageMakesAShorterWindowAtTheSameTop() {
        ReminderFixture f;
        f.clock->setValue(at(9, 0));
        auto* full = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 5)));
        auto* empty =
            TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 5, QString())));
        QCOMPARE(full->height(), TfrmActiveNotif::kClientHeight);
        QCOMPARE(empty->height(), 118);
        QCOMPARE(empty->frameGeometry().top(), full->frameGeometry().top());
        QVERIFY(empty->frameGeometry().bottom() < full->frameGeometry().bottom());
        QCOMPARE(full->frameGeometry().left(), 10);
        const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
        QCOMPARE(full->frameGeometry().bottom() + 1, screenHeight - 50);
        QVERIFY(empty->findChild<QPushButton*>("BitBtn1")->isVisible());
        QVERIFY(!empty->findChild<QPlainTextEdit*>("notifmsg")->isVisible());
        full->close();
        empty->close();
    }

    void theSoundStartsOnceAtTheFirstTickAndStopsWithTheWindow() {
        ReminderFixture f;
        f.clock->setValue(at(9, 0));
        test::Popup r = appointment(at(9, 10), 10);
        r.PLAYAUDIO = true;
        r.AUDIOFILE = "/sounds/chime with blanks.wav";
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        auto* player = w->findChild<QWidget*>("MediaPlayer2");
        QVERIFY(player->isVisible());
        QCOMPARE(FakePlayer::created, 0); // not before the first tick
        w->Timer1Timer();
        w->Timer1Timer();
        QCOMPARE(FakePlayer::played, QStringList({"/sounds/chime with blanks.wav"}));
        QVERIFY(w->findChild<QPushButton*>("btnStop")->isEnabled());
        QTest::mouseClick(w->findChild<QPushButton*>("btnStop"), Qt::LeftButton);
        QVERIFY(!FakePlayer::last->isPlaying);
        QVERIFY(!player->isVisible()); // hidden when stopped

        auto* v = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        v->Timer1Timer();
        FakePlayer* sound = FakePlayer::last;
        QVERIFY(sound->isPlaying);
        QPointer<TfrmActiveNotif> guard(v);
        QTest::mouseClick(v->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull()); // the window frees itself, and its sound with it
        QVERIFY(FakePlayer::last == nullptr);
        w->close();
    }

    void aFileThatCannotBePlayedIsSaidOnceAndTheCountdownGoesOn() {
        ReminderFixture f;
        f.clock->setValue(at(9, 0));
        test::Popup r = appointment(at(9, 10), 10);
        r.PLAYAUDIO = true;
        r.AUDIOFILE = "/no/such.wav";
        FakePlayer::failNext = true;
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        Messages::clearShown();
        f.clock->setValue(at(9, 1));
        w->Timer1Timer();
        f.clock->setValue(at(9, 2));
        w->Timer1Timer();
        QCOMPARE(Messages::shown(), QStringList({"Cannot open the file."}));
        QCOMPARE(label(w, "notifdelay"), QStringLiteral("Appointment occurs in 8 minutes."));
        QCOMPARE(FakePlayer::created, 1);
        // The window itself says so too, above its buttons.
        QCOMPARE(label(w, "lblSoundProblem"),
                 QStringLiteral("The sound could not be played: Cannot open the file."));
        QVERIFY(w->findChild<QLabel*>("lblSoundProblem")->geometry().bottom() <
                w->findChild<QPushButton*>("BitBtn1")->mapTo(w, QPoint()).y());
        // A later sound that fails in the same run is said in its window only.
        FakePlayer::failNext = true;
        auto* later = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        later->Timer1Timer();
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(later->findChild<QLabel*>("lblSoundProblem"));
        later->close();
        w->close();
    }

    void theMainWindowRaisesDueRemindersAsWindows() {
        ReminderFixture f;
        f.clock->setValue(at(9, 0));
        test::addMedicine(f.ctx.db, "Aspirin");
        test::PlanSpec p;
        p.start = at(9, 30);
        p.minutesBefore = 10;
        test::addPlan(f.ctx.db, p);
        test::addPlan(f.ctx.db, p);
        f.window->notiftimerTimer();
        QVERIFY(f.window->openReminders().isEmpty());
        f.clock->setValue(at(9, 20, 1));
        f.window->notiftimerTimer();
        const auto open = f.window->openReminders();
        QCOMPARE(open.size(), 2);
        // Together, they stand a title bar apart, up and to the right: none hides another.
        const QPoint apart = open[1]->pos() - open[0]->pos();
        QVERIFY(apart.x() > 0);
        QCOMPARE(apart.y(), -apart.x());
        QCOMPARE(label(open[0], "notifdelay"), QStringLiteral("Dose occurs in 10 minutes."));
        QVERIFY(open[0]->isVisible());
        QVERIFY(f.window->notiftimer()->isActive());
        for (auto* w : open)
            w->close();
    }

    void aFailingTickIsShownOnceAndRemindersGoOn() {
        ReminderFixture f;
        f.clock->setValue(at(9, 0));
        test::addMedicine(f.ctx.db, "Aspirin");
        f.ctx.db.run("DROP TABLE notif.notif");
        Messages::clearShown();
        f.window->notiftimerTimer();
        f.window->notiftimerTimer();
        f.window->notiftimerTimer();
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(f.window->notiftimer()->isActive());
        // Repaired: the next tick rebuilds and reminds as usual.
        repairAndRaiseADose(f);
        f.window->openReminders()[0]->close();
    }

    // A long name wraps and the window grows downwards from the same top; nothing is cut, and
    // the window carries the program's icon.
    void aLongNameWrapsAndTheWindowGrowsDownwards() {
        ReminderFixture f;
        test::addDoctor(f.ctx.db, "Maximilianus", "Montgomery-Oppenheimer-Vanderbilt");
        f.clock->setValue(at(9, 45));
        auto* shortOne =
            TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 15, QString())));
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 15)));
        auto* name = w->findChild<QLabel*>("notifname");
        const QString whole =
            "Notification: Appointment - Dr. Maximilianus Montgomery-Oppenheimer-Vanderbilt";
        QCOMPARE(name->text(), whole);
        QCOMPARE(name->toolTip(), whole);
        QVERIFY(name->height() >= name->heightForWidth(name->width()));
        QVERIFY(w->height() > TfrmActiveNotif::kClientHeight);
        auto* ok = w->findChild<QPushButton*>("BitBtn1");
        QVERIFY(ok->mapTo(w, QPoint(0, ok->height())).y() <= w->height());
        QVERIFY(w->findChild<QWidget*>("notifdelay")->y() >= name->geometry().bottom());
        QCOMPARE(w->pos().y(), shortOne->pos().y()); // every reminder window keeps the same top
        QVERIFY(!w->windowIcon().isNull());
        QVERIFY(shortOne->height() < w->height());
        shortOne->close();
        w->close();
    }

    // A reminder window that has grown (a very long name) never reaches under a task bar.
    void aGrownWindowStaysInsideTheAvailableArea() {
        ReminderFixture f;
        test::addDoctor(f.ctx.db, QStringLiteral("Maria Theresia ").repeated(6),
                        QStringLiteral("Long Name ").repeated(8));
        f.clock->setValue(at(9, 45));
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appointment(at(10, 0), 15)));
        QVERIFY(w->height() > TfrmActiveNotif::kClientHeight + 40);
        const QRect area = w->screen()->availableGeometry();
        QVERIFY2(area.contains(w->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(w->frameGeometry().x())
                                                                   .arg(w->frameGeometry().y())
                                                                   .arg(w->frameGeometry().width())
                                                                   .arg(w->frameGeometry().height())));
        w->close();
    }

    // The error box of a tick does not hold the ticks up: a dose that falls due while it stands
    // open is raised on time, and the box is not shown again.
    void theErrorBoxOfATickDoesNotHoldUpTheReminders() {
        ReminderFixture f;
        f.ctx.hooks.answerMessages = false; // a real box this time
        f.clock->setValue(at(9, 0));
        test::addMedicine(f.ctx.db, "Aspirin");
        f.ctx.db.run("DROP TABLE notif.notif");
        f.window->notiftimerTimer(); // returns although the box stands open
        auto* box = f.find<QMessageBox>("tickError");
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QVERIFY(f.window->notiftimer()->isActive());
        repairAndRaiseADose(f);
        QVERIFY(box->isVisible());
        QCOMPARE(Messages::shown().size(), 1);
        f.window->openReminders()[0]->close();
        box->close();
    }
};

QTEST_MAIN(TestReminders)
#include "test_reminders.moc"
