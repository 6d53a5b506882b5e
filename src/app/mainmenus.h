#pragma once
// The main window's menu bar: "File", "Options", "Links" and "Help", each item wired to the
// window's handler of its name. The File menu also takes the schedule out and in: the calendar
// as an iCalendar file, the medicine list printed or as PDF.
class QAction;

namespace vantrel {

class TfrmMain;

class MainMenus {
public:
    // Builds the menus on the window; returns the File menu's exit item, shown only where there
    // is no notification area to exit from.
    static QAction* build(TfrmMain& window);
};

} // namespace vantrel
