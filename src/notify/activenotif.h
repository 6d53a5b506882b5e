#pragma once
// The window of one due reminder: what it is for, the minutes left, the message, and the sound.
#include "plans/reminderoccurrence.h"
#include "platform/audio.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
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

    TfrmActiveNotif(Context& ctx, const ReminderOccurrence& occurrence);
    ~TfrmActiveNotif() override;

    // Opens a window for the request, shown and counting down.
    static TfrmActiveNotif* open(Context& ctx, const ReminderOccurrence& occurrence);
    const ReminderOccurrence& occurrence() const { return m_occurrence; }

    bool audioStarted() const { return AudioStarted; }
    // Moves the window into the screen's available area where it sticks out.
    void keepOnScreen();

public slots:
    void Timer1Timer();
    void BitBtn1Click();

signals:
    // What the person did with the window: OK (or the close box) closed it.
    void closedWithOk(const ReminderOccurrence& occurrence);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void startAudio();
    void fitNameLine(QWidget* strip);
    void showSoundProblem(const QString& why);

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
};

} // namespace vantrel
