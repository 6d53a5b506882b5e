#pragma once
// The e-mail settings: send by SMTP to a server, or hand the message to the desktop's mail
// program.
#include <QDialog>

class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace vantrel {

struct Context;

class Tfrmemail : public QDialog {
    Q_OBJECT
public:
    Tfrmemail(Context& ctx, QWidget* mainWindow);

public slots:
    void rbSMTPClick();
    void rbMAPIClick();
    void BitBtn1Click();

private:
    Context& m_ctx;
    QRadioButton *rbSMTP, *rbMAPI;
    QStackedWidget* m_pages;
    QLineEdit *teHost, *teReply, *teSMTPUser, *teSMTPPass, *teReplyToM;
};

} // namespace vantrel
