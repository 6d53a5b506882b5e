#include "app/additionaloptions.h"

#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {
QLineEdit* number(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFixedWidth(44);
    return e;
}

QCheckBox* box(const char* name, const char* text, QWidget* parent, QLayout* layout) {
    auto* c = new QCheckBox(QString::fromLatin1(text), parent);
    c->setObjectName(QString::fromLatin1(name));
    layout->addWidget(c);
    return c;
}
} // namespace

TfrmAdditionalOptions::TfrmAdditionalOptions(Context& ctx, QWidget* mainWindow)
    : QDialog(mainWindow), m_ctx(ctx) {
    makeFixedDialog(this, "TfrmAdditionalOptions", QStringLiteral("Additional Options"));
    auto* layout = new QVBoxLayout(this);
    m_autoStart = box("chkAutoStart", "Auto-Start Vantrel Planner on Windows Startup", this, layout);
    m_disable = box("chkDisableNotifs", "Disable All Notifications", this, layout);
    m_usPhone = box("chkUSPhone", "Use U.S. Phone Format", this, layout);
    m_wake = box("chkWake", "Wake System From Standby/Hybernation", this, layout);
    // Reminded again: "Remind again every [10] minutes until a dose is marked taken or skipped,
    // at most [3] times".
    auto* again = new QGroupBox(QStringLiteral("Reminders"), this);
    auto* al = new QVBoxLayout(again);
    auto* first = new QHBoxLayout;
    chkRemindAgain = new QCheckBox(QStringLiteral("Remind again every"), again);
    chkRemindAgain->setObjectName(QStringLiteral("chkRemindAgain"));
    teRemindMinutes = number("teRemindMinutes", again);
    first->addWidget(chkRemindAgain);
    first->addWidget(teRemindMinutes);
    first->addWidget(new QLabel(QStringLiteral("minutes until a dose is marked taken"), again));
    first->addStretch(1);
    auto* second = new QHBoxLayout;
    teRemindTimes = number("teRemindTimes", again);
    second->addSpacing(22);
    second->addWidget(new QLabel(QStringLiteral("or skipped, at most"), again));
    second->addWidget(teRemindTimes);
    second->addWidget(new QLabel(QStringLiteral("times"), again));
    second->addStretch(1);
    auto* third = new QHBoxLayout;
    teCatchUpHours = number("teCatchUpHours", again);
    third->addWidget(new QLabel(QStringLiteral("At start, show reminders missed in the last"), again));
    third->addWidget(teCatchUpHours);
    third->addWidget(new QLabel(QStringLiteral("hours"), again));
    third->addStretch(1);
    auto* fourth = new QHBoxLayout;
    cbShowRemindersAs = new QComboBox(again);
    cbShowRemindersAs->setObjectName(QStringLiteral("cbShowRemindersAs"));
    cbShowRemindersAs->addItems({QStringLiteral("the program's window"), QStringLiteral("a desktop notification"),
                                 QStringLiteral("both")});
    fourth->addWidget(new QLabel(QStringLiteral("Show reminders as:"), again));
    fourth->addWidget(cbShowRemindersAs);
    fourth->addStretch(1);
    al->addLayout(first);
    al->addLayout(second);
    al->addLayout(third);
    al->addLayout(fourth);
    layout->addWidget(again);
    QPushButton* ok = addDialogButtons(this, layout, "btnOK", "btnCancel");
    setFixedSize(sizeHint());
    connect(ok, &QPushButton::clicked, this, &TfrmAdditionalOptions::btnOKClick);

    placeDialog(this, mainWindow, Placement::Centred);
    m_autoStart->setChecked(ctx.settings.AutoStart);
    m_disable->setChecked(ctx.settings.DisableNotifs);
    if (ctx.settings.PhoneFormat == 0) m_usPhone->setChecked(true);
    m_wake->setChecked(ctx.settings.allowwake);
    chkRemindAgain->setChecked(ctx.settings.RemindAgain);
    teRemindMinutes->setText(QString::number(ctx.settings.RemindAgainMinutes));
    teRemindTimes->setText(QString::number(ctx.settings.RemindAgainTimes));
    teCatchUpHours->setText(QString::number(ctx.settings.CatchUpHours));
    cbShowRemindersAs->setCurrentIndex(std::clamp(ctx.settings.ShowRemindersAs, 0, 2));
}

// What the reminder boxes hold, or the message of the first that is no whole number in its range.
std::optional<QString> TfrmAdditionalOptions::checkBoxes() const {
    const auto whole = [](const QLineEdit* box, int lowest, int highest, const QString& what) -> std::optional<QString> {
        bool ok = false;
        const long long v = box->text().trimmed().toLongLong(&ok);
        if (ok && v >= lowest && v <= highest) return std::nullopt;
        return QStringLiteral("%1 must be a whole number from %2 to %3.").arg(what).arg(lowest).arg(highest);
    };
    if (auto m = whole(teRemindMinutes, 1, Settings::kMostRemindAgainMinutes, QStringLiteral("The minutes between reminders")))
        return m;
    if (auto m = whole(teRemindTimes, 1, Settings::kMostRemindAgainTimes, QStringLiteral("The number of times")))
        return m;
    return whole(teCatchUpHours, 0, Settings::kMostCatchUpHours, QStringLiteral("The hours of missed reminders"));
}

void TfrmAdditionalOptions::btnOKClick() {
    Settings& s = m_ctx.settings;
    // What was typed is checked first; the dialog stays open to mend it.
    if (const auto problem = checkBoxes()) {
        Messages::warning(this, *problem);
        return;
    }
    // The dialog closes whatever happens below; an error is shown by the application.
    accept();
    s.RemindAgain = chkRemindAgain->isChecked();
    s.RemindAgainMinutes = teRemindMinutes->text().trimmed().toInt();
    s.RemindAgainTimes = teRemindTimes->text().trimmed().toInt();
    s.CatchUpHours = teCatchUpHours->text().trimmed().toInt();
    s.ShowRemindersAs = cbShowRemindersAs->currentIndex();
    s.AutoStart = m_autoStart->isChecked();
    m_ctx.syncAutoStart(false);
    s.DisableNotifs = m_disable->isChecked();
    s.PhoneFormat = m_usPhone->isChecked() ? 0 : 1;
    s.allowwake = m_wake->isChecked();
    m_ctx.saveSettings();
}

} // namespace vantrel
