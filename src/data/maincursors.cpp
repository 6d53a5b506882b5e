#include "data/maincursors.h"

namespace vantrel::data {

#define VANTREL_CURSOR(name, table) name(db, QStringLiteral(table), QStringLiteral(#name))

MainCursors::MainCursors(Database& db)
    : VANTREL_CURSOR(tbplanlist, "planlist"), VANTREL_CURSOR(tbplanlist2, "planlist"),
      VANTREL_CURSOR(tbplanlist3, "planlist"), VANTREL_CURSOR(tbplanlist4, "planlist"),
      VANTREL_CURSOR(tbplanner, "drplanner"), VANTREL_CURSOR(tbmedicine, "medicine"),
      VANTREL_CURSOR(tbmedicine2, "medicine"), VANTREL_CURSOR(tbmlref, "mlref"),
      VANTREL_CURSOR(tbdlref, "dlref"), VANTREL_CURSOR(tbdoctor, "doctor"),
      VANTREL_CURSOR(tbdoctor2, "doctor"), VANTREL_CURSOR(tbpatient, "patient"),
      VANTREL_CURSOR(tbnotif, "notif"), VANTREL_CURSOR(tbnotif2, "notif"),
      qrydoctor(db, QStringLiteral("qrydoctor")), qrymedicine(db, QStringLiteral("qrymedicine")) {}

#undef VANTREL_CURSOR

std::vector<Table*> MainCursors::inOpeningOrder() {
    return {&tbplanlist, &tbplanlist2, &tbplanlist3, &tbplanlist4, &tbplanner, &tbmedicine, &tbmedicine2,
            &tbmlref,    &tbdlref,     &tbdoctor,    &tbdoctor2,   &tbpatient, &tbnotif,    &tbnotif2};
}

void MainCursors::openAll() {
    for (Table* t : inOpeningOrder())
        t->open();
}

void MainCursors::closeAll() {
    qrydoctor.close();
    qrymedicine.close();
    for (Table* t : inOpeningOrder())
        t->close();
}

} // namespace vantrel::data
