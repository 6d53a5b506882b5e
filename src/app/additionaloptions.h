#pragma once
#include "session/context.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vantrel {

// Auto-start, the switch for all reminders, the phone format and waking from standby; how a dose
// not answered is reminded again, how far back the start lists reminders missed, and whether a
// reminder is shown as the program's window, a desktop notification or both.
class TfrmAdditionalOptions : public QDialog {
    Q_OBJECT
public:
    TfrmAdditionalOptions(Context& ctx, QWidget* mainWindow);

public slots:
    void btnOKClick();

private:
    std::optional<QString> checkBoxes() const;

    Context& m_ctx;
    QCheckBox *m_autoStart, *m_disable, *m_usPhone, *m_wake, *chkRemindAgain;
    QLineEdit *teRemindMinutes, *teRemindTimes, *teCatchUpHours;
    QComboBox* cbShowRemindersAs;
};

} // namespace vantrel
