#pragma once
// What a page of the main window needs of the window that holds it, without knowing that window.
#include "data/maincursors.h"
#include "session/context.h"

#include <functional>
#include <initializer_list>

class QWidget;

namespace vantrel {

struct PageHost {
    explicit PageHost(Context& context) : ctx(context) {}

    Context& ctx;
    data::MainCursors* cursors = nullptr;   // set once the data store is open
    QWidget* window = nullptr;              // dialogs and message boxes place themselves by it
    std::function<void()> populateCalendar; // the calendar page's rebuild
    // The scheduling wizards, which the shell opens for the pages: add (apptId -1) or edit a plan
    // of the doctor or medicine with the given key. True when the wizard was finished.
    std::function<bool(int drRef, int apptId)> openAppointmentWizard;
    std::function<bool(int medRef, int apptId)> openDosingWizard;
    // Says something without holding anything up: at start after the first tick, later at once.
    std::function<void(const QString& text)> tellWithoutWaiting;

    data::MainCursors& c() const { return *cursors; }
    void calendarChanged() const;
    void tell(const QString& text) const;

    // The one path after plans or their reminder rows changed: the given cursors read their
    // tables anew, the calendar's and the scheduler's plan cursors follow, the changed list is
    // shown again (`reloadList`), the calendar is rebuilt, and the scheduler rebuilds its
    // pending reminders at its next tick.
    void plansChanged(std::initializer_list<data::Table*> reopened,
                      const std::function<void()>& reloadList = {}) const;
};

} // namespace vantrel
