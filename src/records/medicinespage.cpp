#include "records/medicinespage.h"

namespace vantrel {

MedicinesPage::MedicinesPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet2"));
    m_page = buildTwoListPage(
        this, QStringLiteral("Medicines"),
        {"Panel32", "Panel34", "Panel33", "Panel35", " Medicine List:", "DBAdvStringGrid3",
         {{"BitBtn10", "Add Medicine"}, {"btnEditMedicine", "Edit Medicine"}, {"BitBtn12", "Remove Medicine"}}},
        {"Panel13", "Panel28", "Panel14", "Panel29", " Medicine Dosings:", "DBAdvStringGrid4",
         {{"btnAddMedicine", "Add Dosing"}, {"btnMedicineEdit", "Edit Dosing"}, {"btnMedicineRemove", "Remove Dosing"}}},
        QStringLiteral("ScrollBox1"), QStringLiteral(" Medicine Details:"));
}

} // namespace vantrel
