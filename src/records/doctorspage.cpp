#include "records/doctorspage.h"

namespace vantrel {

DoctorsPage::DoctorsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet3"));
    m_page = buildTwoListPage(
        this, QStringLiteral("Doctors"),
        {"Panel24", "Panel26", "Panel25", "Panel27", " Doctor List:", "DBAdvStringGrid1",
         {{"BitBtn5", "Add Doctor"}, {"btnEditDoctor", "Edit Doctor"}, {"BitBtn7", "Remove Doctor"}}},
        {"Panel17", "Panel21", "Panel20", "Panel22", " Appointments For Selected Doctor:", "DBAdvStringGrid2",
         {{"BitBtn1", "Add Appointment"}, {"btnEditDrAppt", "Edit Appointment"}, {"btnRemoveDrAppt", "Remove Appt."}}},
        QStringLiteral("ScrollBox2"), QStringLiteral(" Doctor Details:"));
}

} // namespace vantrel
