#pragma once
// The appointment wizard: the day, time and length of a doctor appointment, then its reminder.
#include "schedule/planwizard.h"

class QCalendarWidget;
class QComboBox;
class QLabel;
class QTimeEdit;

namespace vantrel {

class TfrmAppointment : public PlanWizard {
    Q_OBJECT
public:
    // `drRef` is the doctor selected in the main window; in edit mode `apptId` is the plan.
    TfrmAppointment(Context& ctx, Mode mode, int drRef, int apptId, QWidget* mainWindow);

protected:
    std::variant<int, QString> hostNext(int page) override;
    int hostPrevious(int page) override;
    std::optional<QString> hostCheck() override;
    void fillPlan(plans::Plan& plan) override;

private:
    int m_drRef;
    QCalendarWidget* MonthCalendar1;
    QTimeEdit* DateTimePicker1;
    QComboBox* cbLength;
};

} // namespace vantrel
