#pragma once
// What the doctors and medicines pages share: a list over a query, sorted and mapped, with
// details and a list of plans below it.
#include "app/pagehost.h"
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
    void setPanelHeights(int list, int plans) { setListHeights(m_page, list, plans); }
    DataGrid* listGrid() const { return m_page.upper.grid; }
    DataGrid* planGrid() const { return m_page.lower.grid; }

    // The profile switch: the sort column goes back to the first, the query is rebuilt.
    virtual void reloadForProfile() = 0;
    // Re-reads the list (query and rows) and sorts it by the current settings.
    virtual void reloadList() = 0;
    virtual bool rowChanging(int shownRow) = 0;

protected:
    RecordsPage(PageHost& host, QWidget* parent);

    // Closes and opens the query and shows its rows in the grid, sorted.
    void fillGrid(DataGrid* grid, data::ListQuery& query);
    // The query row (0-based) behind a shown row, -1 when the list is empty.
    int queryRowOf(DataGrid* grid, int shownRow, const data::ListQuery& query) const;
    // The plan list follows the selected row: the plan cursor's rows in the plan grid (start and
    // end of each), with its Edit and Remove buttons enabled while there is a plan.
    void showPlans(data::Table& plans, int row);
    // After a dialog: reload, then select a row and follow it.
    void showRowAfterChange(int shownRow);

    PageHost& m_host;
    TwoListPage m_page;
};

} // namespace vantrel
