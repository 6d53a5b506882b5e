#pragma once
// The window of one due reminder: what it is for, the minutes left, the message, and the sound.
#include "plans/reminderoccurrence.h"
#include "platform/audio.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vantrel {

struct Context;

class TfrmActiveNotif : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 286;
    static constexpr int kClientHeight = 161;
    static constexpr int kShortHeight = 118; // without a message
    static constexpr int kAnswerRow = 33;    // a dose's row of answers
    static constexpr int kSnoozeMinutes[] = {5, 10, 15, 30, 60};

    TfrmActiveNotif(Context& ctx, const ReminderOccurrence& occurrence);
    ~TfrmActiveNotif() override;

    // Opens a window for the request, shown and counting down.
    // `stacked`: how many reminder windows are open already.
    static TfrmActiveNotif* open(Context& ctx, const ReminderOccurrence& occurrence, int stacked = 0);
    const ReminderOccurrence& occurrence() const { return m_occurrence; }
    // The window's first line: "Notification: Medicine - Amoxicillin".
    static QString headline(const ReminderOccurrence& o);

    bool audioStarted() const { return AudioStarted; }
    // Moves the window into the screen's available area where it sticks out.
    void keepOnScreen();
    // The same reminder once more: to the front, its sound again.
    void raiseAgain();
    // When a snooze of so many minutes ends: never after the plan's next occurrence.
    double snoozeUntil(int minutes) const;

public slots:
    void Timer1Timer();
    void BitBtn1Click();

signals:
    // What the person did with the window: OK (or the close box) closed it.
    void closedWithOk(const ReminderOccurrence& occurrence);
    // "&Taken" ("T") or "&Skip" ("S").
    void answered(const ReminderOccurrence& occurrence, QChar state);
    // A choice of "S&nooze": the window closes and comes back then.
    void snoozed(const ReminderOccurrence& occurrence, double until);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void startAudio();
    void fitNameLine(QWidget* strip);
    void showSoundProblem(const QString& why);
    void addLineAboveButtons(const char* name, const QString& text, const QString& colour);
    void insertBelow(QWidget* anchor, QWidget* line, int height);
    void buildAnswers(QWidget* strip);
    void updateSnooze();
    void answer(QChar state);
    void snooze(int minutes);

    Context& m_ctx;
    ReminderOccurrence m_occurrence;
    QLabel* notifname;
    QLabel* notifdelay;
    QLabel* Label2;
    QPlainTextEdit* notifmsg;
    QPushButton* BitBtn1;
    QWidget* MediaPlayer2;
    QPushButton* m_stop;
    QLabel* lblStartTime;
    QLabel* lblAudioFile;
    QTimer* Timer1;
    std::unique_ptr<platform::AudioPlayer> m_player;
    bool AudioStarted = false;
    bool m_answered = false;
    QPushButton* btnSnooze = nullptr;
    QMenu* m_snoozeMenu = nullptr;
};

} // namespace vantrel
