#pragma once
// The dosing wizard: when a medicine is taken, how often, until when, then its reminder.
#include "schedule/planwizard.h"

#include <array>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

namespace vantrel {

class TfrmDosing : public PlanWizard {
    Q_OBJECT
public:
    // `medRef` is the medicine selected in the main window; in edit mode `apptId` is the plan.
    TfrmDosing(Context& ctx, Mode mode, int medRef, int apptId, QWidget* mainWindow);

protected:
    std::variant<int, QString> hostNext(int page) override;
    int hostPrevious(int page) override;
    std::optional<QString> hostCheck() override;
    void fillPlan(plans::Plan& plan) override;

private:
    void buildPages();
    void loadSchedule();
    void updateEnabling();
    std::array<bool, 7> weekdays() const;
    QChar repeatType() const;

    int m_medRef;
    double m_storedStart = 0;
    QRadioButton *rbtoday, *rbselectdate, *rbDaily, *rbNever, *rbXDays, *rbWeekly, *rbNoEnd, *rbEndDate;
    QDateEdit *DateTimePicker2, *DateTimePicker1;
    QTimeEdit* DateTimePicker3;
    QLineEdit* teXDays;
    QSpinBox* UpDown1;
    std::array<QCheckBox*, 7> m_days{};
    QLabel* Label15;
};

} // namespace vantrel
