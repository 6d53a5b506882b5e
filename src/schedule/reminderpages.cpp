#include "schedule/reminderpages.h"

#include "platform/osinfo.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/arrowbox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace vantrel {

namespace {
template <class T> T* named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
} // namespace

ReminderPages::ReminderPages(Context& ctx, bool appointment, QWidget* dialog)
    : QObject(dialog), m_ctx(ctx), m_appointment(appointment), m_dialog(dialog) {
    const QString what = appointment ? QStringLiteral("appointment") : QStringLiteral("dose");

    // How.
    QGroupBox* type = page(QStringLiteral("Notification Type"));
    auto* tl = new QVBoxLayout(type);
    auto* question = new QLabel(
        appointment ? QStringLiteral("Select how you would like to be notified of your appointment:")
                    : QStringLiteral("Select how you would like to be notified of this dose:"),
        type);
    if (!appointment) question->setStyleSheet(QStringLiteral("color: navy;"));
    tl->addWidget(question);
    rbpopup = named(new QRadioButton(QStringLiteral("Display a pop-up window"), type), "rbpopup");
    rbemail = named(new QRadioButton(QStringLiteral("Send an email/page"), type), "rbemail");
    rbemailpop =
        named(new QRadioButton(QStringLiteral("Send an email/page and display a pop-up window"), type),
              "rbemailpop");
    rbnone = named(new QRadioButton(QStringLiteral("None"), type), appointment ? "rbnone" : "rbNone");
    rbpopup->setChecked(true);
    for (QRadioButton* r : {rbpopup, rbemail, rbemailpop, rbnone})
        tl->addWidget(r);
    tl->addStretch(1);

    // When.
    QGroupBox* time = page(QStringLiteral("Notification Time"));
    auto* ml = new QVBoxLayout(time);
    ml->addWidget(new QLabel(QStringLiteral("When would you like the notification to occur:"), time));
    rbNotifAt = named(new QRadioButton(QStringLiteral("At the %1 time").arg(what), time), "rbNotifAt");
    rbNotifBefore = named(new QRadioButton(QStringLiteral("X Minutes before the %1 time").arg(what), time),
                          "rbNotifBefore");
    rbNotifBefore->setChecked(true);
    ml->addWidget(rbNotifAt);
    ml->addWidget(rbNotifBefore);
    auto* minutes = new QHBoxLayout;
    teNotifXMinutes = named(new QLineEdit(QStringLiteral("15"), time), "teNotifXMinutes");
    teNotifXMinutes->setFixedWidth(48);
    udNotifXMinutes = named(new QSpinBox(time), "udNotifXMinutes");
    udNotifXMinutes->setRange(1, 60);
    udNotifXMinutes->setValue(15);
    udNotifXMinutes->setWrapping(false);
    udNotifXMinutes->setFixedWidth(18); // its arrows only: the box beside it holds the text
    minutes->addWidget(teNotifXMinutes);
    minutes->addWidget(udNotifXMinutes);
    minutes->addWidget(new QLabel(QStringLiteral("(1-60)"), time));
    minutes->addStretch(1);
    ml->addLayout(minutes);
    ml->addStretch(1);
    joinArrows(teNotifXMinutes, udNotifXMinutes);

    // The pop-up's text and sound.
    QGroupBox* popup = page(QStringLiteral("Pop Up Window and Audio Settings"));
    auto* pl = new QVBoxLayout(popup);
    pl->addWidget(new QLabel(QStringLiteral("Enter Text To Be Displayed in Pop-Up Window"), popup));
    Memo2 = named(new QPlainTextEdit(popup), "Memo2");
    Memo2->setFixedHeight(60);
    pl->addWidget(Memo2);
    chkPlayAudio = named(new QCheckBox(QStringLiteral("Play Audio File"), popup), "chkPlayAudio");
    pl->addWidget(chkPlayAudio);
    pl->addWidget(new QLabel(QStringLiteral("Select the audio file to play:"), popup));
    auto* file = new QHBoxLayout;
    teAudioFile = named(new QLineEdit(popup), "teAudioFile");
    teAudioFile->setEnabled(!appointment);
    Button4 = named(new QPushButton(QStringLiteral("Browse..."), popup), "Button4");
    Button4->setEnabled(false);
    file->addWidget(teAudioFile, 1);
    file->addWidget(Button4);
    pl->addLayout(file);
    MediaPlayer1 = named(new QWidget(popup), "MediaPlayer1");
    auto* player = new QHBoxLayout(MediaPlayer1);
    player->setContentsMargins(0, 0, 0, 0);
    m_play =
        named(new QPushButton(popup->style()->standardIcon(QStyle::SP_MediaPlay), QString(), MediaPlayer1),
              "btnPlay");
    m_play->setToolTip(QStringLiteral("Play"));
    m_stop =
        named(new QPushButton(popup->style()->standardIcon(QStyle::SP_MediaStop), QString(), MediaPlayer1),
              "btnStop");
    m_stop->setToolTip(QStringLiteral("Stop"));
    m_stop->setEnabled(false);
    player->addWidget(m_play);
    player->addWidget(m_stop);
    player->addStretch(1);
    MediaPlayer1->hide();
    pl->addWidget(MediaPlayer1);
    pl->addStretch(1);
    connect(chkPlayAudio, &QCheckBox::toggled, this, &ReminderPages::updateEnabling);
    connect(Button4, &QPushButton::clicked, this, &ReminderPages::Button4Click);
    connect(m_play, &QPushButton::clicked, this, &ReminderPages::playClick);
    connect(m_stop, &QPushButton::clicked, this, &ReminderPages::stopClick);

    // The e-mail.
    QGroupBox* mail = page(QStringLiteral("email Settings"));
    auto* el = new QGridLayout(mail);
    teFrom = named(new QLineEdit(mail), "teFrom");
    teTo = named(new QLineEdit(mail), "teTo");
    teSubject = named(new QLineEdit(mail), "teSubject");
    memMsg = named(new QPlainTextEdit(mail), "memMsg");
    el->addWidget(new QLabel(QStringLiteral("From: "), mail), 0, 0);
    el->addWidget(teFrom, 0, 1);
    el->addWidget(new QLabel(QStringLiteral("To:"), mail), 1, 0);
    el->addWidget(teTo, 1, 1);
    int row = 2;
    if (appointment) {
        auto* hint = new QLabel(QStringLiteral("Seperate multiple addresses with semi-colans"), mail);
        hint->setStyleSheet(QStringLiteral("color: gray;"));
        el->addWidget(hint, row++, 1);
    }
    el->addWidget(new QLabel(QStringLiteral("Subject:"), mail), row, 0);
    el->addWidget(teSubject, row++, 1);
    el->addWidget(new QLabel(QStringLiteral("Message Text:"), mail), row++, 0, 1, 2);
    el->addWidget(memMsg, row, 0, 1, 2);

    // The minutes box follows its radio button in both wizards.
    connect(rbNotifAt, &QRadioButton::toggled, this, &ReminderPages::updateEnabling);
    updateEnabling();
}

ReminderPages::~ReminderPages() {
    stopSound();
}

QGroupBox* ReminderPages::page(const QString& caption) {
    auto* box = new QGroupBox(caption, m_dialog);
    m_pages << box;
    return box;
}

void ReminderPages::updateEnabling() {
    const bool audio = chkPlayAudio->isChecked();
    // The dosing wizard's path box starts enabled; once the box is used, both follow it.
    if (audio || sender() == chkPlayAudio) teAudioFile->setEnabled(audio);
    Button4->setEnabled(audio);
    MediaPlayer1->setVisible(audio);
    teNotifXMinutes->setEnabled(!rbNotifAt->isChecked());
    udNotifXMinutes->setEnabled(!rbNotifAt->isChecked());
}

void ReminderPages::prepareAdd() {
    teFrom->setText(m_ctx.settings.ReplyToAddress);
}

void ReminderPages::load(const plans::Reminder& r) {
    const QString type = r.NOTIFTYPE;
    if (type == QLatin1String("P")) rbpopup->setChecked(true);
    if (type == QLatin1String("E")) rbemail->setChecked(true);
    if (type == QLatin1String("B")) rbemailpop->setChecked(true);
    if (type == QLatin1String("N")) rbnone->setChecked(true);
    Memo2->setPlainText(r.NOTIFTEXT);
    chkPlayAudio->setChecked(r.PLAYAUDIO);
    teAudioFile->setText(r.AUDIOFILE);
    teFrom->setText(r.EMAILFROM);
    teTo->setText(r.EMAILTO);
    teSubject->setText(r.EMAILSUBJECT);
    memMsg->setPlainText(r.EMAILMESSAGE);
    if (teFrom->text().isEmpty()) teFrom->setText(m_ctx.settings.ReplyToAddress);
    if (r.NOTIFMIN == 0) {
        rbNotifAt->setChecked(true);
    } else {
        rbNotifBefore->setChecked(true);
        udNotifXMinutes->setValue(r.NOTIFMIN);
        teNotifXMinutes->setText(QString::number(r.NOTIFMIN));
    }
    updateEnabling();
}

QChar ReminderPages::type() const {
    if (rbemail->isChecked()) return u'E';
    if (rbemailpop->isChecked()) return u'B';
    if (rbnone->isChecked()) return u'N';
    return u'P';
}

plans::ReminderValues ReminderPages::values() const {
    plans::ReminderValues v;
    v.type = type();
    v.atTime = rbNotifAt->isChecked();
    v.minutesText = teNotifXMinutes->text();
    v.popupText = Memo2->toPlainText();
    v.playAudio = chkPlayAudio->isChecked();
    v.audioFile = teAudioFile->text();
    v.from = teFrom->text();
    v.to = teTo->text();
    v.subject = teSubject->text();
    v.message = memMsg->toPlainText();
    return v;
}

std::optional<QString> ReminderPages::check(plans::ReminderPage page) const {
    const plans::ReminderValues v = values();
    switch (page) {
    case plans::ReminderPage::Time:
        return v.atTime ? std::nullopt : plans::checkMinutes(v.minutesText);
    case plans::ReminderPage::Popup:
        if (auto m = plans::checkPopupText(v.popupText)) return m;
        return plans::checkAudio(v.playAudio, v.audioFile);
    case plans::ReminderPage::Email:
        return plans::checkEmail(v.from, v.to, v.subject, v.message);
    default:
        return std::nullopt;
    }
}

void ReminderPages::Button4Click() {
    const QString filter = m_appointment
                               ? QStringLiteral("WAV Audio Files|*.wav|MP3 Audio Files|*.mp3|All Files|*.*")
                               : QStringLiteral("WAV Audio Files|*.wav|MP3 Audio File|*.mp3|All Files|*.*");
    const QString file = openFileName(m_dialog, QString::fromStdString(platform::systemSoundDir()), filter);
    if (!file.isEmpty()) teAudioFile->setText(file);
}

void ReminderPages::playClick() {
    if (teAudioFile->text().isEmpty()) {
        Messages::warning(m_dialog, QStringLiteral("Please select an audio file"));
        return;
    }
    stopSound();
    m_player = m_ctx.hooks.playerFactory ? m_ctx.hooks.playerFactory() : platform::makeAudioPlayer();
    const auto closed = [this] {
        m_play->setEnabled(true);
        m_stop->setEnabled(false);
    };
    m_player->onFinished = closed;
    m_player->onError = [this, closed](const std::string& text) {
        closed();
        Messages::warning(m_dialog, QString::fromStdString(text));
    };
    m_play->setEnabled(false);
    m_stop->setEnabled(true);
    m_player->play(teAudioFile->text().toStdString());
}

void ReminderPages::stopClick() {
    if (m_player) m_player->stop();
}

void ReminderPages::stopSound() {
    if (m_player) {
        m_player->onFinished = nullptr;
        m_player->onError = nullptr;
        m_player->stop();
        m_player.reset();
    }
}

} // namespace vantrel
