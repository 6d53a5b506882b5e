#pragma once
// What the doctors and medicines pages share: a list over a query, sorted and mapped, with
// details and a list of plans below it.
#include "core/geometry.h"
#include "ui/pagehost.h"
#include "widgets/listsection.h"

#include <QWidget>

namespace vantrel {

class DataGrid;
namespace data {
class ListQuery;
class Table;
} // namespace data

class RecordsPage : public QWidget {
    Q_OBJECT
public:
    QWidget* listPanel() const { return m_page.upper.panel; }
    QWidget* planPanel() const { return m_page.lower.panel; }
    // The stored heights; fitted to the page when it is first shown.
    void setPanelHeights(int list, int plans);
    // What to store: the heights the user left, or the stored ones while the page was never
    // shown (its blocks have no real height then).
    ListHeights panelHeights() const;
    DataGrid* listGrid() const { return m_page.upper.grid; }
    DataGrid* planGrid() const { return m_page.lower.grid; }

    // The profile switch: the page's link cursor and list query follow the profile, the sort
    // column goes back to the first, and the first row is selected and followed.
    void switchProfile(int patientRef);
    // Both lists sorted again on their sort columns.
    void sortLists();
    // The first row of the list selected and followed, as if the user had chosen it.
    void showFirstRow();
    // Re-reads the list (query and rows) and sorts it by the current settings.
    void reloadList();
    virtual bool rowChanging(int shownRow) = 0;
    // The page colours its own list blocks and details box.
    void applyColorScheme(int scheme);

protected:
    RecordsPage(PageHost& host, QWidget* parent);
    void showEvent(QShowEvent* e) override;

    // The profile's links (dlref or mlref), the list query over them and its statement.
    virtual data::Table& linkCursor() const = 0;
    virtual data::ListQuery& listQuery() const = 0;
    virtual QString listSql(int patientRef) const = 0;

    // Closes and opens the query and shows its rows in the grid, sorted.
    void fillGrid(DataGrid* grid, data::ListQuery& query);
    // The query row (0-based) behind a shown row, -1 when the list is empty.
    int queryRowOf(DataGrid* grid, int shownRow, const data::ListQuery& query) const;
    // The plan list follows the selected row: the plan cursor's rows in the plan grid (start and
    // end of each), with its Edit and Remove buttons enabled while there is a plan.
    void showPlans(data::Table& plans, int row);
    // After a dialog: reload, then select a row and follow it.
    void showRowAfterChange(int shownRow);
    // The cells of the plan the cursor stands on, and the values they sort by: its start and end,
    // unless the page says otherwise.
    struct PlanCells {
        QStringList text;
        QVariantList keys;
    };
    virtual PlanCells planCells(const data::Table& plan) const;
    // The plan shown as selected in the plan grid (its APPTID), -1 when there is none; the plan
    // cursor is moved onto it.
    int selectedPlan(data::Table& plans) const;
    // The plan buttons: add, edit or remove through the page's own wizard.
    void addPlan();
    void editPlan();
    void removePlan(const QString& question);
    virtual void openWizard(bool edit, int apptId) = 0;
    virtual data::Table& planCursor() const = 0;
    // The plans changed: the list reads them anew and the calendar and reminders follow.
    void afterPlanChange();

    // After a removal took plans with it: the given cursors and the plans are read anew, the
    // list is shown from its first row, and the calendar and the reminders follow.
    void afterRemoval(std::initializer_list<data::Table*> reopened);

    PageHost& m_host;
    TwoListPage m_page;
    ListHeights m_stored{120, 120};
    bool m_shown = false;
};

} // namespace vantrel
