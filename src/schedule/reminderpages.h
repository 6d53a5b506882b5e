#pragma once
// The four reminder pages that both scheduling wizards show after their own pages: how, when,
// the pop-up's text and sound, and the e-mail. Written once; the host says which wizard it is.
#include "schedule/planrules.h"

#include <QObject>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace vantrel {

struct Context;
namespace platform {
class AudioPlayer;
}

class ReminderPages : public QObject {
    Q_OBJECT
public:
    // `appointment` picks the appointment wizard's words and file filter, else the dosing's.
    ReminderPages(Context& ctx, bool appointment, QWidget* dialog);
    ~ReminderPages() override;

    // The four pages in order: type, time, pop-up and audio, e-mail.
    QList<QWidget*> pages() const { return m_pages; }

    void prepareAdd();
    // Loads a stored reminder row (edit mode).
    void load(const plans::Reminder& reminder);
    plans::ReminderValues values() const;
    QChar type() const;
    // The check of a page on Next, or nothing when it passes.
    std::optional<QString> check(plans::ReminderPage page) const;
    void stopSound();

public slots:
    void Button4Click();
    void playClick();
    void stopClick();

private:
    QGroupBox* page(const QString& caption);
    void updateEnabling();

    Context& m_ctx;
    bool m_appointment;
    QWidget* m_dialog;
    QList<QWidget*> m_pages;
    QRadioButton *rbpopup, *rbemail, *rbemailpop, *rbnone, *rbNotifAt, *rbNotifBefore;
    QLineEdit* teNotifXMinutes;
    QSpinBox* udNotifXMinutes;
    QPlainTextEdit* Memo2;
    QCheckBox* chkPlayAudio;
    QLineEdit* teAudioFile;
    QPushButton *Button4, *m_play, *m_stop;
    QWidget* MediaPlayer1;
    QLineEdit *teFrom, *teTo, *teSubject;
    QPlainTextEdit* memMsg;
    std::unique_ptr<platform::AudioPlayer> m_player;
};

} // namespace vantrel
