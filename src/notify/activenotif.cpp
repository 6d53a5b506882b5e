#include "notify/activenotif.h"

#include "core/datetime.h"
#include "core/placement.h"
#include "core/shared.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <cmath>

namespace vantrel {

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText); // names and texts are shown as typed, never as markup
    l->move(x, y);
    l->resize(parent->width() - x - 4, 16);
    return l;
}

QString countdownText(bool appointment, long long minutes) {
    return (appointment ? QStringLiteral("Appointment occurs in ") : QStringLiteral("Dose occurs in ")) +
           QString::number(minutes) + QStringLiteral(" minutes.");
}
} // namespace

QString TfrmActiveNotif::headline(const ReminderOccurrence& o) {
    const QString name = displayText(o.itemName, kShortDisplay);
    return o.dose() ? QStringLiteral("Notification: Medicine - ") + name
                    : QStringLiteral("Notification: Appointment - Dr. ") + name;
}

TfrmActiveNotif::TfrmActiveNotif(Context& ctx, const ReminderOccurrence& o)
    : QWidget(nullptr), m_ctx(ctx), m_occurrence(o) {
    const plans::Reminder& r = o.reminder;
    // A reminder must not hide behind other windows.
    makeFixedDialog(this, "TfrmActiveNotif", QStringLiteral("Vantrel Notification"),
                    Qt::WindowSystemMenuHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);

    notifname = label(this, "notifname", QStringLiteral("Notification:"), 8, 8);
    notifdelay = label(this, "notifdelay", QStringLiteral("Appointment Occurs In X Minutes"), 8, 24);
    Label2 = label(this, "Label2", QStringLiteral("Notification Message:"), 8, 46);
    notifmsg = new QPlainTextEdit(this);
    notifmsg->setObjectName(QStringLiteral("notifmsg"));
    notifmsg->setReadOnly(true);
    notifmsg->setGeometry(8, 64, 265, 49);

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setGeometry(0, kClientHeight - 41, kClientWidth, 41);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), strip);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(104, 8, 81, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmActiveNotif::BitBtn1Click);
    MediaPlayer2 = new QWidget(strip);
    MediaPlayer2->setObjectName(QStringLiteral("MediaPlayer2"));
    MediaPlayer2->setGeometry(248, 8, 30, 25);
    m_stop = new QPushButton(style()->standardIcon(QStyle::SP_MediaStop), QString(), MediaPlayer2);
    m_stop->setObjectName(QStringLiteral("btnStop"));
    m_stop->setToolTip(QStringLiteral("Stop"));
    m_stop->setGeometry(0, 0, 30, 25);
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (m_player) m_player->stop();
    });
    MediaPlayer2->hide();
    lblStartTime = new QLabel(strip);
    lblStartTime->setObjectName(QStringLiteral("lblStartTime"));
    lblStartTime->hide();
    lblAudioFile = new QLabel(strip);
    lblAudioFile->setObjectName(QStringLiteral("lblAudioFile"));
    lblAudioFile->setTextFormat(Qt::PlainText);
    lblAudioFile->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, &TfrmActiveNotif::Timer1Timer);

    if (r.NOTIFTEXT.isEmpty()) {
        // The top stays where it is, so the shorter window ends higher on the screen.
        setFixedSize(kClientWidth, kShortHeight);
        strip->move(0, kShortHeight - 41);
        Label2->hide();
        notifmsg->hide();
    }
    notifmsg->setPlainText(displayText(r.NOTIFTEXT, kLongDisplay));
    lblStartTime->setText(dt::floatToText(o.eventTime));

    // The names came with the reminder: the window reads no table.
    const bool dose = o.dose();
    notifname->setText(headline(o));
    notifdelay->setText(r.NOTIFMIN >= 1 ? countdownText(!dose, r.NOTIFMIN) : QString());
    fitNameLine(strip);
    if (r.PLAYAUDIO) {
        lblAudioFile->setText(r.AUDIOFILE);
        MediaPlayer2->show();
    }
    // Whom it is for, where the household has more than one person.
    if (o.showPerson) {
        auto* person =
            label(this, "lblFor", QStringLiteral("For: ") + displayText(o.personName, kShortDisplay), 8, 0);
        insertBelow(notifname, person, 16);
    }
    buildAnswers(strip);
    if (!o.refillWarning.isEmpty())
        addLineAboveButtons("lblRefill", o.refillWarning, QStringLiteral("#805000"));
}

// A dose is answered taken, skipped or snoozed, in a row of its own above the OK strip; an
// appointment can be snoozed, from the strip itself.
void TfrmActiveNotif::buildAnswers(QWidget* strip) {
    QWidget* row = strip;
    int x = 8;
    if (m_occurrence.dose()) {
        row = new QWidget(this);
        row->setObjectName(QStringLiteral("Panel2"));
        row->setGeometry(0, strip->y(), kClientWidth, kAnswerRow);
        strip->move(strip->x(), strip->y() + kAnswerRow);
        setFixedSize(width(), height() + kAnswerRow);
        const auto button = [&](const char* name, const QString& text, QChar state) {
            auto* b = new QPushButton(text, row);
            b->setObjectName(QString::fromLatin1(name));
            b->setGeometry(x, 4, 84, 25);
            x += 92;
            connect(b, &QPushButton::clicked, this, [this, state] { answer(state); });
        };
        button("btnTaken", QStringLiteral("&Taken"), u'T');
        button("btnSkip", QStringLiteral("&Skip"), u'S');
    }
    btnSnooze = new QPushButton(QStringLiteral("S&nooze"), row);
    btnSnooze->setObjectName(QStringLiteral("btnSnooze"));
    btnSnooze->setGeometry(x, m_occurrence.dose() ? 4 : 8, m_occurrence.dose() ? 86 : 81, 25);
    m_snoozeMenu = new QMenu(btnSnooze);
    m_snoozeMenu->setObjectName(QStringLiteral("SnoozeMenu"));
    for (int minutes : kSnoozeMinutes) {
        QAction* a = m_snoozeMenu->addAction(QStringLiteral("%1 minutes").arg(minutes));
        a->setObjectName(QStringLiteral("snooze%1").arg(minutes));
        connect(a, &QAction::triggered, this, [this, minutes] { snooze(minutes); });
    }
    connect(m_snoozeMenu, &QMenu::aboutToShow, this, &TfrmActiveNotif::updateSnooze);
    btnSnooze->setMenu(m_snoozeMenu);
    updateSnooze();
}

double TfrmActiveNotif::snoozeUntil(int minutes) const {
    const double until = m_ctx.clock->nowValue() + minutes * dt::kMinute;
    // Never later than the plan's next occurrence: a longer choice is shortened to it.
    return m_occurrence.nextEventTime > 0 ? std::min(until, m_occurrence.nextEventTime) : until;
}

// With less than five minutes before the plan's next occurrence, there is nothing to snooze to.
void TfrmActiveNotif::updateSnooze() {
    const bool room =
        m_occurrence.nextEventTime <= 0 || m_occurrence.nextEventTime - m_ctx.clock->nowValue() >=
                                               kSnoozeMinutes[0] * dt::kMinute - dt::kSecond / 2;
    btnSnooze->setEnabled(room);
    for (QAction* a : m_snoozeMenu->actions())
        a->setEnabled(room);
}

void TfrmActiveNotif::answer(QChar state) {
    m_answered = true;
    emit answered(m_occurrence, state);
    close();
}

void TfrmActiveNotif::snooze(int minutes) {
    if (!btnSnooze->isEnabled()) return;
    m_answered = true;
    emit snoozed(m_occurrence, snoozeUntil(minutes));
    close();
}

// The same reminder once more (reminded again, or back from a snooze): the window comes to the
// front and its sound plays again.
void TfrmActiveNotif::raiseAgain() {
    show();
    raise();
    activateWindow();
    AudioStarted = false;
    updateSnooze();
    if (!Timer1->isActive()) Timer1->start();
}

void TfrmActiveNotif::insertBelow(QWidget* anchor, QWidget* line, int height) {
    const int from = anchor->geometry().bottom() + 1;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w != line && w->y() >= from) w->move(w->x(), w->y() + height);
    line->setGeometry(8, from, width() - 16, height);
    setFixedSize(width(), this->height() + height);
}

// A long name wraps onto more lines and the window grows downwards (its top stays), so no part
// of the name is lost; the whole name is also its tooltip.
void TfrmActiveNotif::fitNameLine(QWidget* strip) {
    notifname->setWordWrap(true);
    notifname->setToolTip(notifname->text());
    const int needed = notifname->heightForWidth(notifname->width());
    const int extra = needed - notifname->height();
    if (extra <= 0) return;
    notifname->resize(notifname->width(), needed);
    for (QWidget* w : {static_cast<QWidget*>(notifdelay), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(notifmsg), strip})
        w->move(w->x(), w->y() + extra);
    setFixedSize(width(), height() + extra);
}

// A line above the buttons says the sound could not play and why; the window grows downwards.
void TfrmActiveNotif::showSoundProblem(const QString& why) {
    addLineAboveButtons("lblSoundProblem", QStringLiteral("The sound could not be played: ") + why,
                        QStringLiteral("#a00000"));
    keepOnScreen();
}

// A line of its own colour above the buttons (the answers' row where there is one); the window
// grows downwards.
void TfrmActiveNotif::addLineAboveButtons(const char* name, const QString& text, const QString& colour) {
    auto* strip = findChild<QWidget*>(QStringLiteral("Panel1"));
    auto* answers = findChild<QWidget*>(QStringLiteral("Panel2"));
    QWidget* below = answers ? answers : strip;
    auto* line = new QLabel(text, this);
    line->setObjectName(QString::fromLatin1(name));
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    const int width = this->width() - 16;
    const int needed = line->heightForWidth(width);
    line->setGeometry(8, below->y(), width, needed);
    for (QWidget* w : {answers, strip})
        if (w) w->move(w->x(), w->y() + needed + 4);
    setFixedSize(this->width(), height() + needed + 4);
    line->show();
}

void TfrmActiveNotif::keepOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect frame(pos(), frameGeometry().size().expandedTo(size()));
    const QPoint inside = keepInside(frame, screen->availableGeometry());
    if (inside != frame.topLeft()) move(inside);
}

TfrmActiveNotif::~TfrmActiveNotif() {
    // The sound ends with its window.
    if (m_player) m_player->stop();
}

TfrmActiveNotif* TfrmActiveNotif::open(Context& ctx, const ReminderOccurrence& occurrence, int stacked) {
    auto* w = new TfrmActiveNotif(ctx, occurrence);
    w->show();
    // Near the bottom-left corner of the screen, above the task bar. The top is that of a window
    // with a message, so a shorter window ends higher. Windows open together stand apart by a
    // title bar's height, up and to the right, so none hides another.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    const int frame = w->frameGeometry().height() - w->height();
    const int titleBar = std::max(frame, w->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    w->move(10 + stacked * titleBar, screenHeight - (kClientHeight + frame) - 50 - stacked * titleBar);
    // A window grown for a long name or a sound problem is kept off the task bar.
    w->keepOnScreen();
    w->raise();
    w->Timer1->start();
    return w;
}

void TfrmActiveNotif::Timer1Timer() {
    Timer1->stop();
    const double eventTime = dt::textToFloat(lblStartTime->text());
    // Whole minutes left, never rounded up; counted in milliseconds so that the text form of the
    // event time cannot turn 15:00 left into 14, or the event time itself into "0 minutes".
    const long long ms = std::llround((eventTime - m_ctx.clock->nowValue()) * 86400000.0);
    if (ms > 0) {
        notifdelay->setText(countdownText(notifdelay->text().startsWith(QLatin1String("Appo")), ms / 60000));
    } else {
        notifdelay->clear();
    }
    if (!AudioStarted && !lblAudioFile->text().isEmpty()) {
        AudioStarted = true;
        startAudio();
    }
    Timer1->start();
}

void TfrmActiveNotif::startAudio() {
    m_player = m_ctx.hooks.playerFactory ? m_ctx.hooks.playerFactory() : platform::makeAudioPlayer();
    m_player->onFinished = [this] {
        m_stop->setEnabled(false);
        MediaPlayer2->hide();
    };
    // A sound that cannot play is said in the window, and the first time in a run also in a
    // message; the countdown goes on.
    m_player->onError = [this](const std::string& text) {
        m_stop->setEnabled(false);
        MediaPlayer2->hide();
        showSoundProblem(QString::fromStdString(text));
        if (!m_ctx.SoundFailureTold) {
            m_ctx.SoundFailureTold = true;
            Messages::error(this, QString::fromStdString(text));
        }
    };
    m_stop->setEnabled(true);
    m_player->play(lblAudioFile->text().toStdString());
}

void TfrmActiveNotif::BitBtn1Click() {
    close();
}

void TfrmActiveNotif::closeEvent(QCloseEvent* e) {
    Timer1->stop();
    if (m_player) m_player->stop();
    e->accept();
    if (!m_answered) emit closedWithOk(m_occurrence);
}

} // namespace vantrel
