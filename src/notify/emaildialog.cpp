#include "notify/emaildialog.h"

#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {
QLabel* note(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setStyleSheet(QStringLiteral("color: #404040;"));
    return l;
}
QLineEdit* edit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}
} // namespace

Tfrmemail::Tfrmemail(Context& ctx, QWidget* mainWindow) : QDialog(mainWindow), m_ctx(ctx) {
    makeFixedDialog(this, "Tfrmemail", QStringLiteral("email Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* method = new QGroupBox(QStringLiteral("email Method"), this);
    auto* ml = new QVBoxLayout(method);
    rbSMTP = new QRadioButton(QStringLiteral("Use SMTP connection"), method);
    rbSMTP->setObjectName(QStringLiteral("rbSMTP"));
    rbMAPI = new QRadioButton(QStringLiteral("Use MAPI connection"), method);
    rbMAPI->setObjectName(QStringLiteral("rbMAPI"));
    ml->addWidget(rbSMTP);
    ml->addWidget(note(QStringLiteral("Allows Vantrel Planner to send email or page directly."), method));
    ml->addWidget(rbMAPI);
    ml->addWidget(
        note(QStringLiteral(
                 "Sends message via a MAPI-compliant email program such as Outlook or Outlook Express."),
             method));
    layout->addWidget(method);

    m_pages = new QStackedWidget(this);
    auto* smtp = new QGroupBox(QStringLiteral("Mail Server (SMTP)"), m_pages);
    smtp->setObjectName(QStringLiteral("SMTP"));
    auto* sl = new QFormLayout(smtp);
    teHost = edit("teHost", smtp);
    teReply = edit("teReply", smtp);
    teSMTPUser = edit("teSMTPUser", smtp);
    teSMTPPass = edit("teSMTPPass", smtp);
    teSMTPPass->setEchoMode(QLineEdit::Password);
    sl->addRow(QStringLiteral("SMTP Server Name:"), teHost);
    sl->addRow(
        note(QStringLiteral("Please enter the name of your SMTP server.  You can find this setting by either "
                            "checking your email program or by contacting your Internet provider."),
             smtp));
    sl->addRow(QStringLiteral("Reply-To Address:"), teReply);
    sl->addRow(
        note(QStringLiteral("Enter your email address which you would like use as the default reply-to "
                            "address."),
             smtp));
    sl->addRow(
        note(QStringLiteral("If your SMTP server requires a login, enter your username and password below:"),
             smtp));
    sl->addRow(QStringLiteral("SMTP User Name:"), teSMTPUser);
    sl->addRow(QStringLiteral("SMTP Password:"), teSMTPPass);
    auto* mapi = new QGroupBox(QStringLiteral("MAPI Settings"), m_pages);
    mapi->setObjectName(QStringLiteral("MAPI"));
    auto* mpl = new QFormLayout(mapi);
    teReplyToM = edit("teReplyToM", mapi);
    mpl->addRow(QStringLiteral("Reply-To Address:"), teReplyToM);
    mpl->addRow(
        note(QStringLiteral("Enter your email address which you would like use as the default reply-to "
                            "address."),
             mapi));
    m_pages->addWidget(smtp);
    m_pages->addWidget(mapi);
    layout->addWidget(m_pages);
    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1", "BitBtn2");
    connect(ok, &QPushButton::clicked, this, &Tfrmemail::BitBtn1Click);
    connect(rbSMTP, &QRadioButton::clicked, this, &Tfrmemail::rbSMTPClick);
    connect(rbMAPI, &QRadioButton::clicked, this, &Tfrmemail::rbMAPIClick);

    // FormCreate: the stored settings.
    const Settings& s = ctx.settings;
    if (s.UseSMTP) {
        rbSMTP->setChecked(true);
        rbSMTPClick();
    } else {
        rbMAPI->setChecked(true);
        rbMAPIClick();
    }
    teHost->setText(s.SMTPServer);
    teReply->setText(s.ReplyToAddress);
    teReplyToM->setText(s.ReplyToAddress);
    teSMTPUser->setText(s.SMTPUser);
    teSMTPPass->setText(s.SMTPPass);
    setFixedWidth(440);
    placeDialog(this, mainWindow, Placement::Centred);
}

void Tfrmemail::rbSMTPClick() {
    m_pages->setCurrentIndex(0);
}

void Tfrmemail::rbMAPIClick() {
    m_pages->setCurrentIndex(1);
}

void Tfrmemail::BitBtn1Click() {
    Settings& s = m_ctx.settings;
    if (rbSMTP->isChecked()) {
        if (teHost->text().isEmpty()) {
            Messages::warning(this, QStringLiteral("Please enter the SMTP server"));
            return;
        }
        s.UseSMTP = true;
        s.SMTPServer = teHost->text();
        s.SMTPUser = teSMTPUser->text();
        s.SMTPPass = teSMTPPass->text();
        s.ReplyToAddress = teReply->text();
    } else {
        // The SMTP values stay stored for a later switch back.
        s.UseSMTP = false;
        s.ReplyToAddress = teReplyToM->text();
    }
    m_ctx.saveSettings();
    accept();
}

} // namespace vantrel
