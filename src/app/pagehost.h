#pragma once
// What a page of the main window needs of the window that holds it, without knowing that window.
#include "core/context.h"
#include "data/maincursors.h"

#include <functional>

class QWidget;

namespace vantrel {

struct PageHost {
    explicit PageHost(Context& context) : ctx(context) {}

    Context& ctx;
    data::MainCursors* cursors = nullptr; // set once the data store is open
    QWidget* window = nullptr;            // dialogs and message boxes place themselves by it
    std::function<void()> populateCalendar;

    data::MainCursors& c() const { return *cursors; }
    void calendarChanged() const {
        if (populateCalendar) populateCalendar();
    }
};

} // namespace vantrel
