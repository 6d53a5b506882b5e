#pragma once
// The calendar page: display choices on the left, the month calendar and explanation above,
// the planner grid below.
#include "schedule/calendarrules.h"
#include "ui/pagehost.h"

#include <QWidget>

class QCalendarWidget;
class QCheckBox;
class QPushButton;
class QRadioButton;
class QSplitter;

namespace vantrel {

class DataError;
class PlannerGrid;

class CalendarPage : public QWidget {
    Q_OBJECT
public:
    explicit CalendarPage(PageHost& host, QWidget* parent = nullptr);

    // The profile switch: the calendar's plan cursor follows the profile and the calendar is
    // rebuilt.
    void switchProfile(int patientRef);

    int precision() const { return m_precision; }
    int visibleDays() const { return m_days; }
    // The stored choices as the close of the window takes them back.
    int checkedPrecision() const;
    int checkedDays() const;

    // Checks the choice and runs its handler; any other value leaves the page as it is.
    void restorePrecision(int minutes);
    void restoreVisibleDays(int days);

    QCalendarWidget* monthCalendar() const { return m_month; }
    PlannerGrid* planner() const { return m_planner; }
    QWidget* header() const { return m_header; }
    // The month calendar and the grid start on this day.
    void showDay(const QDate& day);

public slots:
    void rbprec15Click();
    void rbprec30Click();
    void rbprec60Click();
    void rb1dayClick();
    void rb3daysClick();
    void rb5daysClick();
    void Button1Click();
    // The headers of the day columns, and the rebuild of the calendar's items.
    void UpdateHeaders();
    void PopulateCalendar();
    void MonthCalendar1Click(const QDate& day);
    void DBPlanner1PlannerNext();
    void DBPlanner1PlannerPrev();

signals:
    void layoutChanged();

private:
    PageHost& m_host;
    QCalendarWidget* m_month;
    void reloadPlanner();
    void showItems(const QList<calendar::Item>& items);
    void fitHeader();
    bool eventFilter(QObject* watched, QEvent* e) override;
    QString toolTipOf(const calendar::Item& item) const;
    QString personName() const;
    void tellWriteFailure(const DataError& e);

    QWidget* m_header;
    QWidget* m_below; // the explanation and the month calendar, hidden with "Hide Calendar"
    PlannerGrid* m_planner;
    QCheckBox* m_showAppointments = nullptr;
    QCheckBox* m_showMedicine = nullptr;
    QPushButton* m_hide;
    QRadioButton *m_rb1, *m_rb3, *m_rb5, *m_prec15, *m_prec30, *m_prec60;
    int m_precision = 15;
    int m_days = 1;
    bool m_writeFailureTold = false;
    QSplitter* m_split = nullptr;
    QString m_person; // the current profile's name, for the items' tooltips
};

} // namespace vantrel
