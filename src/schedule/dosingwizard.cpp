#include "schedule/dosingwizard.h"

#include "core/datetime.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "widgets/arrowbox.h"
#include "widgets/timebox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {
template <class T> T* named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QDateEdit* datePicker(QWidget* parent, const char* name) {
    auto* d = named(new QDateEdit(parent), name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    d->setEnabled(false);
    return d;
}

enum Page { DoseTime, DoseRepeat, DoseEnd, NotificationType };
} // namespace

TfrmDosing::TfrmDosing(Context& ctx, Mode mode, int medRef, int apptId, QWidget* mainWindow)
    : PlanWizard(ctx, mode, false, mainWindow), m_medRef(medRef) {
    makeFixedDialog(this, "TfrmDosing", QStringLiteral("Add Medicine Dosing"));
    buildPages();
    Label15->setText(mode == Mode::Add
                         ? QStringLiteral("The dose and notification have been configured.  Click the "
                                          "finish button to add the dose.")
                         : QStringLiteral("The dose and notification have been configured.  Click the "
                                          "finish button to update the record"));
    // A plan that is no longer there is entered anew.
    if (mode == Mode::Edit && loadPlan(apptId)) {
        loadSchedule();
    } else {
        DateTimePicker2->setDate(dt::toQDateTime(ctx.clock->today() + 1).date());
        DateTimePicker1->setDate(DateTimePicker2->date()); // the end picker starts on the start date
        reminders()->prepareAdd();
    }
    updateEnabling();
    setFixedSize(sizeHint().expandedTo(QSize(408, 283)));
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

void TfrmDosing::buildPages() {
    auto* time = new QGroupBox(QStringLiteral("Dose Time"), this);
    auto* tl = new QVBoxLayout(time);
    tl->addWidget(new QLabel(QStringLiteral("When will you begin taking the medication?"), time));
    rbtoday = named(new QRadioButton(QStringLiteral("Today/Already Taking Medicine"), time), "rbtoday");
    rbselectdate =
        named(new QRadioButton(QStringLiteral("On the selected date below:"), time), "rbselectdate");
    rbtoday->setChecked(true);
    DateTimePicker2 = datePicker(time, "DateTimePicker2");
    tl->addWidget(rbtoday);
    tl->addWidget(rbselectdate);
    tl->addWidget(DateTimePicker2);
    tl->addWidget(new QLabel(QStringLiteral("What time of day will you take this dose?"), time));
    DateTimePicker3 = named(new TimeBox(QTime(8, 0), time), "DateTimePicker3");
    DateTimePicker3->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
    tl->addWidget(DateTimePicker3);
    tl->addStretch(1);
    pages()->addWidget(time);

    auto* repeat = new QGroupBox(QStringLiteral("Dose Repeat"), this);
    auto* rl = new QGridLayout(repeat);
    rl->addWidget(new QLabel(QStringLiteral("How often will you repeat this dose:"), repeat), 0, 0, 1, 4);
    rbDaily = named(new QRadioButton(QStringLiteral("Daily"), repeat), "rbDaily");
    rbNever = named(new QRadioButton(QStringLiteral("Never"), repeat), "rbNever");
    rbXDays = named(new QRadioButton(QStringLiteral("Every X Days"), repeat), "rbXDays");
    rbWeekly = named(new QRadioButton(QStringLiteral("Weekly"), repeat), "rbWeekly");
    rbDaily->setChecked(true);
    rl->addWidget(rbDaily, 1, 0);
    rl->addWidget(rbNever, 2, 0);
    rl->addWidget(rbXDays, 3, 0);
    auto* days = new QHBoxLayout;
    teXDays = named(new QLineEdit(QStringLiteral("2"), repeat), "teXDays");
    teXDays->setFixedWidth(40);
    UpDown1 = named(new QSpinBox(repeat), "UpDown1");
    UpDown1->setRange(2, 14);
    UpDown1->setWrapping(false);
    UpDown1->setFixedWidth(18);
    days->addWidget(teXDays);
    days->addWidget(UpDown1);
    days->addWidget(new QLabel(QStringLiteral("(2 - 14 days)"), repeat));
    days->addStretch(1);
    rl->addLayout(days, 3, 1, 1, 3);
    rl->addWidget(rbWeekly, 4, 0);
    const char* names[] = {"chkSunday",   "chkMonday", "chkTuesday", "chkWednesday",
                           "chkThursday", "chkFriday", "chkSaturday"};
    const char* captions[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int d = 0; d < 7; ++d) {
        m_days[static_cast<size_t>(d)] =
            named(new QCheckBox(QString::fromLatin1(captions[d]), repeat), names[d]);
        rl->addWidget(m_days[static_cast<size_t>(d)], d < 4 ? 5 : 6, d < 4 ? d : d - 4);
    }
    rl->setRowStretch(7, 1);
    joinArrows(teXDays, UpDown1);
    pages()->addWidget(repeat);

    auto* end = new QGroupBox(QStringLiteral("Dose End"), this);
    auto* el = new QVBoxLayout(end);
    el->addWidget(new QLabel(QStringLiteral("When will you stop taking this dose?:"), end));
    rbNoEnd = named(new QRadioButton(QStringLiteral("No Scheduled End Date"), end), "rbNoEnd");
    rbEndDate = named(new QRadioButton(QStringLiteral("Will Stop Dose On:"), end), "rbEndDate");
    rbNoEnd->setChecked(true);
    DateTimePicker1 = datePicker(end, "DateTimePicker1");
    el->addWidget(rbNoEnd);
    el->addWidget(rbEndDate);
    el->addWidget(DateTimePicker1);
    el->addStretch(1);
    pages()->addWidget(end);

    auto* finish = new QGroupBox(QStringLiteral("Finish"), this);
    auto* fl = new QVBoxLayout(finish);
    Label15 = named(new QLabel(finish), "Label15");
    Label15->setWordWrap(true);
    fl->addWidget(Label15);
    fl->addStretch(1);
    addReminderAndFinishPages(finish);

    for (QRadioButton* r : {rbselectdate, rbXDays, rbWeekly, rbEndDate})
        connect(r, &QRadioButton::toggled, this, &TfrmDosing::updateEnabling);
}

void TfrmDosing::updateEnabling() {
    DateTimePicker2->setEnabled(rbselectdate->isChecked());
    teXDays->setEnabled(rbXDays->isChecked());
    UpDown1->setEnabled(rbXDays->isChecked());
    for (QCheckBox* c : m_days)
        c->setEnabled(rbWeekly->isChecked());
    DateTimePicker1->setEnabled(rbEndDate->isChecked());
}

void TfrmDosing::loadSchedule() {
    m_storedStart = m_plan.STARTTIME;
    const QDateTime start = dt::toQDateTime(m_storedStart);
    // The start date is there to see (and to take) even while "Today" is chosen.
    DateTimePicker2->setDate(start.date());
    if (m_ctx.clock->nowValue() > m_storedStart)
        rbtoday->setChecked(true);
    else
        rbselectdate->setChecked(true);
    DateTimePicker3->setTime(start.time());
    const QString kind = m_plan.REPTYPE;
    const QString days = m_plan.repeatDays();
    if (kind == QLatin1String("D")) {
        rbDaily->setChecked(true);
    } else if (kind == QLatin1String("N")) {
        rbNever->setChecked(true);
    } else if (kind == QLatin1String("X")) {
        rbXDays->setChecked(true);
        UpDown1->setValue(days.toInt());
        teXDays->setText(days);
    } else {
        rbWeekly->setChecked(true);
        const auto chosen = plans::weekdaysFrom(days);
        for (int d = 0; d < 7; ++d)
            m_days[static_cast<size_t>(d)]->setChecked(chosen[static_cast<size_t>(d)]);
    }
    const double end = m_plan.REPEND;
    if (end == 0) {
        rbNoEnd->setChecked(true);
        DateTimePicker1->setDate(DateTimePicker2->date());
    } else {
        rbEndDate->setChecked(true);
        DateTimePicker1->setDate(dt::toQDateTime(end).date());
    }
}

std::array<bool, 7> TfrmDosing::weekdays() const {
    std::array<bool, 7> out{};
    for (int d = 0; d < 7; ++d)
        out[static_cast<size_t>(d)] = m_days[static_cast<size_t>(d)]->isChecked();
    return out;
}

QChar TfrmDosing::repeatType() const {
    if (rbNever->isChecked()) return u'N';
    if (rbXDays->isChecked()) return u'X';
    if (rbWeekly->isChecked()) return u'W';
    return u'D';
}

std::variant<int, QString> TfrmDosing::hostNext(int page) {
    switch (page) {
    case DoseTime:
        return int(DoseRepeat);
    case DoseRepeat:
        if (repeatType() == u'N') return int(NotificationType);
        if (repeatType() == u'X')
            if (auto m = plans::checkXDays(teXDays->text())) return *m;
        if (repeatType() == u'W')
            if (auto m = plans::checkWeekdays(weekdays())) return *m;
        return int(DoseEnd);
    default:
        return int(NotificationType);
    }
}

int TfrmDosing::hostPrevious(int page) {
    return page - 1;
}

std::optional<QString> TfrmDosing::hostCheck() {
    if (repeatType() == u'X') return plans::checkXDays(teXDays->text());
    if (repeatType() == u'W') return plans::checkWeekdays(weekdays());
    return std::nullopt;
}

void TfrmDosing::fillPlan(plans::Plan& plan) {
    const QChar kind = repeatType();
    double day =
        rbtoday->isChecked() ? m_ctx.clock->today() : plans::dayAndTime(DateTimePicker2->date(), QTime(0, 0));
    // An every-X-days dosing that has begun keeps its days between doses when it is edited.
    if (kind == u'X' && rbtoday->isChecked() && m_mode == Mode::Edit && m_storedStart != 0)
        day = plans::rhythmDayOnOrBefore(m_storedStart, teXDays->text().trimmed().toInt(), day);
    const double start = plans::dayAndTime(dt::toQDateTime(day).date(), DateTimePicker3->time());
    plan.REPTYPE = QString(kind);
    // The interval or the weekdays where the kind has them; another kind keeps what was stored.
    if (kind == u'X') plan.REPDAYS = teXDays->text().trimmed().toInt();
    if (kind == u'W') plan.REPDAYS = plans::weekdayDigits(weekdays()).toInt();
    plan.REPEND = rbEndDate->isChecked()
                      ? plans::endOfDay(plans::dayAndTime(DateTimePicker1->date(), QTime(0, 0)))
                      : 0.0;
    plan.STARTTIME = start;
    plan.ENDTIME = start + 15 * dt::kMinute;
    plan.APPTTYPE = QStringLiteral("M");
    plan.MEDREF = m_medRef;
    plan.DRREF = -1;
}

} // namespace vantrel
