#include "schedule/calendarpage.h"

#include "widgets/navbar.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QRadioButton* radio(const QString& name, const QString& text, QWidget* parent, QLayout* layout) {
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    layout->addWidget(r);
    return r;
}

} // namespace

CalendarPage::CalendarPage(PageHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("TabSheet1"));
    m_host.populateCalendar = [this] { PopulateCalendar(); };
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Display choices.
    auto* options = new QWidget(this);
    options->setObjectName(QStringLiteral("CalendarOptions"));
    options->setFixedWidth(112);
    auto* ol = new QVBoxLayout(options);
    ol->setContentsMargins(4, 30, 4, 4);
    ol->addWidget(new QLabel(QStringLiteral("Display:"), options));
    for (const auto& [name, text] :
         {std::pair{"chkAppointments", "Appointments"}, std::pair{"chkMedicine", "Medicine"}}) {
        auto* c = new QCheckBox(QString::fromLatin1(text), options);
        c->setObjectName(QString::fromLatin1(name));
        c->setChecked(true);
        ol->addWidget(c);
    }
    auto* days = new QGroupBox(QStringLiteral("Visible Days"), options);
    auto* dl = new QVBoxLayout(days);
    m_rb1 = radio("rb1day", "1 Day", days, dl);
    m_rb3 = radio("rb3days", "3 Days", days, dl);
    m_rb5 = radio("rb5days", "5 Days", days, dl);
    m_rb1->setChecked(true);
    ol->addWidget(days);
    auto* prec = new QGroupBox(QStringLiteral("Precision"), options);
    auto* pl = new QVBoxLayout(prec);
    m_prec15 = radio("rbprec15", "15 min.", prec, pl);
    m_prec30 = radio("rbprec30", "30 min.", prec, pl);
    m_prec60 = radio("rbprec60", "60 min.", prec, pl);
    m_prec15->setChecked(true);
    ol->addWidget(prec);
    ol->addStretch(1);
    outer->addWidget(options);

    connect(m_rb1, &QRadioButton::clicked, this, &CalendarPage::rb1dayClick);
    connect(m_rb3, &QRadioButton::clicked, this, &CalendarPage::rb3daysClick);
    connect(m_rb5, &QRadioButton::clicked, this, &CalendarPage::rb5daysClick);
    connect(m_prec15, &QRadioButton::clicked, this, &CalendarPage::rbprec15Click);
    connect(m_prec30, &QRadioButton::clicked, this, &CalendarPage::rbprec30Click);
    connect(m_prec60, &QRadioButton::clicked, this, &CalendarPage::rbprec60Click);

    // Title, explanation and month calendar over the planner grid.
    auto* right = new QWidget(this);
    auto* rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->setSpacing(0);
    QWidget* title = makeTitleBar(QStringLiteral("Calendar View"), right);
    m_hide = new QPushButton(QStringLiteral("Hide Calendar"), title);
    m_hide->setObjectName(QStringLiteral("Button1"));
    title->layout()->addWidget(m_hide);
    connect(m_hide, &QPushButton::clicked, this, &CalendarPage::Button1Click);
    rl->addWidget(title);

    auto* split = new QSplitter(Qt::Vertical, right);
    split->setObjectName(QStringLiteral("CalendarSplitter"));
    m_header = new QWidget(split);
    m_header->setObjectName(QStringLiteral("CalendarHeader"));
    m_header->setFixedHeight(154);
    auto* hl = new QHBoxLayout(m_header);
    auto* text = new QLabel(QStringLiteral("The calendar view allows you to view your appointments and "
                                           "medical reminders by time of day.  By "
                                           "default, the current day's schedule is shown below.  To switch "
                                           "dates, click on a date on the calendar."),
                            m_header);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    hl->addWidget(text, 1);
    m_month = new QCalendarWidget(m_header);
    m_month->setObjectName(QStringLiteral("MonthCalendar1"));
    m_month->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_month->setFixedWidth(250);
    hl->addWidget(m_month);
    m_planner = new QWidget(split);
    m_planner->setObjectName(QStringLiteral("DBPlanner1"));
    m_planner->setAutoFillBackground(true);
    QPalette p = m_planner->palette();
    p.setColor(QPalette::Window, Qt::white);
    m_planner->setPalette(p);
    split->addWidget(m_header);
    split->addWidget(m_planner);
    split->setStretchFactor(1, 1);
    rl->addWidget(split, 1);
    outer->addWidget(right, 1);
}

int CalendarPage::checkedPrecision() const {
    return m_prec30->isChecked() ? 30 : m_prec15->isChecked() ? 15 : 60;
}
int CalendarPage::checkedDays() const {
    return m_rb1->isChecked() ? 1 : m_rb3->isChecked() ? 3 : 5;
}

void CalendarPage::restorePrecision(int minutes) {
    switch (minutes) {
    case 15:
        m_prec15->setChecked(true);
        rbprec15Click();
        break;
    case 30:
        m_prec30->setChecked(true);
        rbprec30Click();
        break;
    case 60:
        m_prec60->setChecked(true);
        rbprec60Click();
        break;
    default:
        break;
    }
}

void CalendarPage::restoreVisibleDays(int days) {
    switch (days) {
    case 1:
        m_rb1->setChecked(true);
        rb1dayClick();
        break;
    case 3:
        m_rb3->setChecked(true);
        rb3daysClick();
        break;
    case 5:
        m_rb5->setChecked(true);
        rb5daysClick();
        break;
    default:
        break;
    }
}

void CalendarPage::rbprec15Click() {
    m_precision = 15;
    emit layoutChanged();
}
void CalendarPage::rbprec30Click() {
    m_precision = 30;
    emit layoutChanged();
}
void CalendarPage::rbprec60Click() {
    m_precision = 60;
    emit layoutChanged();
}
void CalendarPage::rb1dayClick() {
    m_days = 1;
    emit layoutChanged();
}
void CalendarPage::rb3daysClick() {
    m_days = 3;
    emit layoutChanged();
}
void CalendarPage::rb5daysClick() {
    m_days = 5;
    emit layoutChanged();
}

void CalendarPage::Button1Click() {
    const bool hide = m_header->isVisible();
    m_header->setVisible(!hide);
    m_hide->setText(hide ? QStringLiteral("Show Calendar") : QStringLiteral("Hide Calendar"));
}

void CalendarPage::switchProfile(int patientRef) {
    data::Table& plans = m_host.c().tbplanlist2;
    plans.setFilter(QStringLiteral("patientref = %1").arg(patientRef));
    plans.setFiltered(true);
    plans.reopen();
    PopulateCalendar();
}

// The planner grid and its rebuild come with the calendar itself.
void CalendarPage::UpdateHeaders() {}
void CalendarPage::PopulateCalendar() {}

} // namespace vantrel
