#pragma once
#include "session/context.h"

#include <QDialog>

class QCheckBox;

namespace vantrel {

// Auto-start, the switch for all reminders, the phone format and waking from standby.
class TfrmAdditionalOptions : public QDialog {
    Q_OBJECT
public:
    TfrmAdditionalOptions(Context& ctx, QWidget* mainWindow);

public slots:
    void btnOKClick();

private:
    Context& m_ctx;
    QCheckBox *m_autoStart, *m_disable, *m_usPhone, *m_wake;
};

} // namespace vantrel
