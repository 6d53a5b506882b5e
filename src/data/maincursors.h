#pragma once
// The cursors and list queries the main window keeps for the whole run.
#include "data/listquery.h"
#include "data/table.h"

#include <memory>
#include <vector>

namespace vantrel::data {

class Database;

struct MainCursors {
    explicit MainCursors(Database& db);

    Table tbplanlist, tbplanlist2, tbplanlist3, tbplanlist4, tbplanner, tbmedicine, tbmedicine2, tbmlref,
        tbdlref, tbdoctor, tbdoctor2, tbpatient, tbnotif, tbnotif2;
    ListQuery qrydoctor, qrymedicine;

    // Opens the fourteen cursors in their fixed order; the list queries wait for a profile.
    void openAll();
    void closeAll();
    std::vector<Table*> inOpeningOrder();
};

} // namespace vantrel::data
