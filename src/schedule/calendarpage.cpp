#include "schedule/calendarpage.h"

#include "data/profiles.h"
#include "base/errors.h"
#include "core/colorschemes.h"
#include "core/datetime.h"
#include "core/shared.h"
#include "schedule/calendarrules.h"
#include "widgets/navbar.h"
#include "widgets/plannergrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QSqlQuery>
#include <QVBoxLayout>
#include <cmath>

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
        // Either filter rebuilds, so items of an unchecked type go and a checked type's return.
        connect(c, &QCheckBox::clicked, this, [this] { PopulateCalendar(); });
        (QString::fromLatin1(name) == QLatin1String("chkAppointments") ? m_showAppointments
                                                                       : m_showMedicine) = c;
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
    auto* split = new QSplitter(Qt::Vertical, right);
    m_split = split;
    split->installEventFilter(this);
    split->setObjectName(QStringLiteral("CalendarSplitter"));
    split->setChildrenCollapsible(false);
    m_header = new QWidget(split);
    m_header->setObjectName(QStringLiteral("CalendarHeader"));
    m_header->setFixedHeight(154);
    auto* header = new QVBoxLayout(m_header);
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    QWidget* title = makeTitleBar(QStringLiteral("Calendar View"), m_header);
    title->setFixedHeight(28);
    m_hide = new QPushButton(QStringLiteral("Hide Calendar"), title);
    m_hide->setObjectName(QStringLiteral("Button1"));
    title->layout()->addWidget(m_hide);
    connect(m_hide, &QPushButton::clicked, this, &CalendarPage::Button1Click);
    header->addWidget(title);
    m_below = new QWidget(m_header);
    auto* hl = new QHBoxLayout(m_below);
    auto* text = new QLabel(QStringLiteral("The calendar view allows you to view your appointments and "
                                           "medical reminders by time of day.  By "
                                           "default, the current day's schedule is shown below.  To switch "
                                           "dates, click on a date on the calendar."),
                            m_below);
    text->setObjectName(QStringLiteral("CalendarDescription"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // A narrow window wraps the text onto more lines than the header holds: then it scrolls.
    auto* scroll = new QScrollArea(m_below);
    scroll->setObjectName(QStringLiteral("CalendarDescriptionArea"));
    scroll->setWidget(text);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    text->setAutoFillBackground(false);
    hl->addWidget(scroll, 1);
    m_month = new QCalendarWidget(m_below);
    m_month->setObjectName(QStringLiteral("MonthCalendar1"));
    m_month->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_month->setFixedWidth(230);
    // Small enough for the whole month in the header's height.
    QFont small = m_month->font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    m_month->setFont(small);
    hl->addWidget(m_month);
    header->addWidget(m_below, 1);
    connect(m_month, &QCalendarWidget::clicked, this, &CalendarPage::MonthCalendar1Click);
    m_planner = new PlannerGrid(split);
    connect(m_planner, &PlannerGrid::plannerNext, this, &CalendarPage::DBPlanner1PlannerNext);
    connect(m_planner, &PlannerGrid::plannerPrev, this, &CalendarPage::DBPlanner1PlannerPrev);
    split->addWidget(m_header);
    split->addWidget(m_planner);
    split->setStretchFactor(1, 1);
    rl->addWidget(split, 1);
    outer->addWidget(right, 1);
    // The grid's rows follow the selected precision button from the start.
    m_planner->setPrecision(15, 20);
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
    m_planner->setPrecision(15, 20);
    emit layoutChanged();
}
void CalendarPage::rbprec30Click() {
    m_precision = 30;
    m_planner->setPrecision(30, 22);
    emit layoutChanged();
}
void CalendarPage::rbprec60Click() {
    m_precision = 60;
    m_planner->setPrecision(60, 22);
    emit layoutChanged();
}
void CalendarPage::rb1dayClick() {
    m_days = 1;
    m_planner->setDayCount(1);
    emit layoutChanged();
}
void CalendarPage::rb3daysClick() {
    m_days = 3;
    m_planner->setDayCount(3);
    emit layoutChanged();
}
void CalendarPage::rb5daysClick() {
    m_days = 5;
    m_planner->setDayCount(5);
    emit layoutChanged();
}

void CalendarPage::Button1Click() {
    const bool hide = !m_below->isHidden();
    m_below->setVisible(!hide);
    m_header->setFixedHeight(hide ? 28 : 154);
    fitHeader();
    m_hide->setText(hide ? QStringLiteral("Show Calendar") : QStringLiteral("Hide Calendar"));
}

// The header's height is fixed: the grid takes all the rest of the page, whatever the splitter
// kept for the header before (its room at the first layout, the room of a hidden calendar).
void CalendarPage::fitHeader() {
    const int header = m_header->maximumHeight();
    m_split->setSizes({header, std::max(0, m_split->height() - header - m_split->handleWidth())});
}

bool CalendarPage::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_split && (e->type() == QEvent::Resize || e->type() == QEvent::Show)) fitHeader();
    return QWidget::eventFilter(watched, e);
}

void CalendarPage::switchProfile(int patientRef) {
    data::Table& plans = m_host.c().tbplanlist2;
    plans.setFilter(QStringLiteral("patientref = %1").arg(patientRef));
    plans.setFiltered(true);
    plans.reopen();
    PopulateCalendar();
}

void CalendarPage::showDay(const QDate& day) {
    m_month->setSelectedDate(day);
    m_planner->setFirstDay(dt::fromQDateTime(QDateTime(day, QTime(0, 0))));
}

void CalendarPage::UpdateHeaders() {
    QStringList captions{QString()};
    for (int d = 0; d < 5; ++d)
        captions << calendar::dayCaption(m_planner->firstDay() + d);
    m_planner->setCaptions(captions);
}

void CalendarPage::MonthCalendar1Click(const QDate& day) {
    m_planner->setFirstDay(dt::fromQDateTime(QDateTime(day, QTime(0, 0))));
    PopulateCalendar();
    UpdateHeaders();
}

void CalendarPage::DBPlanner1PlannerNext() {
    UpdateHeaders();
    m_month->setSelectedDate(m_month->selectedDate().addDays(1));
    PopulateCalendar();
}

void CalendarPage::DBPlanner1PlannerPrev() {
    UpdateHeaders();
    m_month->setSelectedDate(m_month->selectedDate().addDays(-1));
    PopulateCalendar();
}

void CalendarPage::PopulateCalendar() {
    if (!m_host.cursors || !m_host.ctx.db.isOpen()) return;
    const double window = std::floor(dt::fromQDateTime(QDateTime(m_month->selectedDate(), QTime(0, 0))));
    calendar::Filter filter;
    filter.appointments = m_showAppointments->isChecked();
    filter.medicine = m_showMedicine->isChecked();
    const QList<calendar::PlannerRow> rows =
        calendar::plannerRows(m_host.ctx.db, m_host.ctx.CurrentPatientRef, window, filter);
    m_person = personName();
    try {
        calendar::writePlanner(m_host.ctx.db, rows);
    } catch (const DataError& e) {
        // The calendar's items are scratch: when they cannot be saved (a full disk, a locked
        // file) the grid shows them from memory, and the program and its reminders go on.
        QList<calendar::Item> items;
        for (const calendar::PlannerRow& r : rows)
            items << r.item;
        showItems(items);
        tellWriteFailure(e);
        return;
    }
    reloadPlanner();
}

void CalendarPage::tellWriteFailure(const DataError& e) {
    Context& ctx = m_host.ctx;
    if (e.diskFull()) {
        if (ctx.DiskFullTold) return;
        ctx.DiskFullTold = true;
        m_host.tell(
            QStringLiteral("The disk that holds the tables (\"%1\") is full. The calendar is shown and "
                           "reminders go on, but changes cannot be saved until there is room on it.")
                .arg(QDir::toNativeSeparators(ctx.DataDir)));
        return;
    }
    if (m_writeFailureTold) return;
    m_writeFailureTold = true;
    m_host.tell(
        QStringLiteral("The calendar could not be saved (%1). It is shown all the same.").arg(e.message()));
}

void CalendarPage::reloadPlanner() {
    showItems(calendar::plannerItems(m_host.ctx.db));
}

void CalendarPage::showItems(const QList<calendar::Item>& stored) {
    QList<PlannerItem> items;
    for (const calendar::Item& it : stored)
        items.append({it.start, it.end, displayText(it.subject, kShortDisplay),
                      QColor(redOf(it.color), greenOf(it.color), blueOf(it.color)), toolTipOf(it)});
    m_planner->setItems(items);
}

// The whole of an item, however narrow it is drawn: what, for whom, and when.
QString CalendarPage::toolTipOf(const calendar::Item& item) const {
    const auto time = [](double v) {
        return QLocale::c().toString(dt::toQDateTime(v).time(), QStringLiteral("h:mm AP"));
    };
    QString when = QLocale::c().toString(dt::toQDateTime(item.start).date(), QStringLiteral("ddd M/d/yyyy")) +
                   QStringLiteral(", ") + time(item.start);
    if (item.end > item.start) when += QStringLiteral(" to ") + time(item.end);
    return displayText(item.subject.isEmpty() ? QStringLiteral("(no name)") : item.subject, kLongDisplay) +
           QLatin1Char('\n') + QStringLiteral("For: ") + m_person + QLatin1Char('\n') + when;
}

QString CalendarPage::personName() const {
    return displayText(data::profileName(m_host.ctx.db, m_host.ctx.CurrentPatientRef), kShortDisplay);
}

} // namespace vantrel
