#include "schedule/appointmentwizard.h"

#include "core/datetime.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "widgets/timebox.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

TfrmAppointment::TfrmAppointment(Context& ctx, Mode mode, int drRef, int apptId, QWidget* mainWindow)
    : PlanWizard(ctx, mode, true, mainWindow), m_drRef(drRef) {
    makeFixedDialog(this, "TfrmAppointment", QStringLiteral("Doctor Appointment"));
    auto* time = new QGroupBox(QStringLiteral("Appointment Time"), this);
    auto* tl = new QGridLayout(time);
    tl->addWidget(new QLabel(QStringLiteral("Enter the date and time of the appointment:"), time), 0, 0, 1,
                  2);
    tl->addWidget(new QLabel(QStringLiteral("Date:"), time), 1, 0);
    MonthCalendar1 = new QCalendarWidget(time);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    tl->addWidget(MonthCalendar1, 2, 0, 4, 1);
    tl->addWidget(new QLabel(QStringLiteral("Time:"), time), 1, 1);
    DateTimePicker1 = new TimeBox(QTime(12, 0), time);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
    tl->addWidget(DateTimePicker1, 2, 1);
    tl->addWidget(new QLabel(QStringLiteral("Length:"), time), 3, 1);
    auto* length = new QHBoxLayout;
    cbLength = new QComboBox(time);
    cbLength->setObjectName(QStringLiteral("cbLength"));
    cbLength->addItems(plans::lengthItems());
    length->addWidget(cbLength);
    length->addWidget(new QLabel(QStringLiteral("Hours"), time));
    length->addStretch(1);
    tl->addLayout(length, 4, 1);
    tl->setRowStretch(5, 1);
    pages()->addWidget(time);

    auto* finish = new QGroupBox(QStringLiteral("Finish"), this);
    auto* fl = new QVBoxLayout(finish);
    auto* text =
        new QLabel(QStringLiteral("The appointment and notification have been configured.  Click the "
                                  "finish button to add the appointment."),
                   finish);
    text->setWordWrap(true);
    fl->addWidget(text);
    fl->addStretch(1);
    addReminderAndFinishPages(finish);

    const double today = ctx.clock->today();
    // A plan that is no longer there is entered anew.
    if (mode == Mode::Edit && loadPlan(apptId)) {
        const double start = m_plan.STARTTIME;
        MonthCalendar1->setSelectedDate(dt::toQDateTime(start).date());
        DateTimePicker1->setTime(dt::toQDateTime(start).time());
        cbLength->setCurrentIndex(plans::lengthItemFor(m_plan.ENDTIME - start));
    } else {
        cbLength->setCurrentIndex(1); // one hour
        MonthCalendar1->setSelectedDate(dt::toQDateTime(today + 1).date());
        reminders()->prepareAdd();
    }
    setFixedSize(sizeHint().expandedTo(QSize(408, 310)));
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

std::variant<int, QString> TfrmAppointment::hostNext(int) {
    return 1;
}

int TfrmAppointment::hostPrevious(int) {
    return 0;
}

std::optional<QString> TfrmAppointment::hostCheck() {
    if (!plans::lengthValue(cbLength->currentText()))
        return QStringLiteral("Please select an appointment length");
    return std::nullopt;
}

void TfrmAppointment::fillPlan(plans::Plan& plan) {
    const double start = plans::dayAndTime(MonthCalendar1->selectedDate(), DateTimePicker1->time());
    plan.STARTTIME = start;
    plan.ENDTIME = start + *plans::lengthValue(cbLength->currentText()) / 24.0;
    plan.APPTTYPE = QStringLiteral("D");
    plan.DRREF = m_drRef;
    plan.MEDREF = -1;
    plan.REPTYPE = QStringLiteral("N");
}

} // namespace vantrel
