#include "records/doctorspage.h"

#include "core/shared.h"

#include "data/listquery.h"
#include "data/removal.h"
#include "data/table.h"
#include "records/adddoctor.h"
#include "ui/messages.h"
#include "widgets/datagrid.h"
#include "widgets/detailsform.h"

#include <QLabel>
#include <QPushButton>

namespace vantrel {

DoctorsPage::DoctorsPage(PageHost& host, QWidget* parent) : RecordsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet3"));
    m_page = buildTwoListPage(
        this, QStringLiteral("Doctors"),
        {"Panel24",
         "Panel26",
         "Panel25",
         "Panel27",
         " Doctor List:",
         "DBAdvStringGrid1",
         {{"BitBtn5", "Add Doctor"}, {"btnEditDoctor", "Edit Doctor"}, {"BitBtn7", "Remove Doctor"}}},
        {"Panel17",
         "Panel21",
         "Panel20",
         "Panel22",
         " Appointments For Selected Doctor:",
         "DBAdvStringGrid2",
         {{"BitBtn1", "Add Appointment"},
          {"btnEditDrAppt", "Edit Appointment"},
          {"btnRemoveDrAppt", "Remove Appt."}}},
        QStringLiteral("ScrollBox2"), QStringLiteral(" Doctor Details:"));
    BitBtn5 = m_page.upper.buttons[0];
    btnEditDoctor = m_page.upper.buttons[1];
    BitBtn7 = m_page.upper.buttons[2];
    BitBtn1 = m_page.lower.buttons[0];
    btnEditDrAppt = m_page.lower.buttons[1];
    btnRemoveDrAppt = m_page.lower.buttons[2];
    for (QPushButton* b : {btnEditDoctor, BitBtn7, BitBtn1, btnEditDrAppt, btnRemoveDrAppt})
        b->setEnabled(false);

    listGrid()->setColumns({{QStringLiteral("Last Name"), QStringLiteral("lastname"), 83},
                            {QStringLiteral("First Name"), QStringLiteral("firstname"), 86},
                            {QStringLiteral("Specialization"), QStringLiteral("specialty"), 122}});
    planGrid()->setColumns({{QStringLiteral("Start Time"), QStringLiteral("STARTTIME"), 135},
                            {QStringLiteral("End Time"), QStringLiteral("ENDTIME"), 146}});
    listGrid()->onRowChanging = [this](int row) { return DBAdvStringGrid1RowChanging(row); };
    connect(listGrid(), &DataGrid::clickSort, this, &DoctorsPage::DBAdvStringGrid1ClickSort);
    connect(listGrid(), &DataGrid::dblClickCell, this, &DoctorsPage::DBAdvStringGrid1DblClickCell);
    connect(BitBtn5, &QPushButton::clicked, this, &DoctorsPage::BitBtn5Click);
    connect(btnEditDoctor, &QPushButton::clicked, this, &DoctorsPage::btnEditDoctorClick);
    connect(BitBtn7, &QPushButton::clicked, this, &DoctorsPage::BitBtn7Click);
    connect(BitBtn1, &QPushButton::clicked, this, &DoctorsPage::BitBtn1Click);
    connect(btnEditDrAppt, &QPushButton::clicked, this, &DoctorsPage::btnEditDrApptClick);
    connect(btnRemoveDrAppt, &QPushButton::clicked, this, &DoctorsPage::btnRemoveDrApptClick);
    connect(planGrid(), &DataGrid::dblClickCell, this, [this] {
        if (btnEditDrAppt->isEnabled()) btnEditDrApptClick();
    });

    m_details = std::make_unique<DetailsForm>(m_page.details);
    lblDrName = m_details->addLine(QStringLiteral("Doctor Name:"), QStringLiteral("lblDrName"));
    m_details->addLine(QStringLiteral("Specialty:"), QStringLiteral("SPECIALTY"));
    m_details->addLine(QStringLiteral("Office Phone:"), QStringLiteral("POFFICE"));
    m_details->addBeside(QStringLiteral("Office Fax:"), QStringLiteral("PFAX"));
    m_details->addLine(QStringLiteral("Mobile Phone:"), QStringLiteral("PMOBILE"));
    m_details->addLine(QStringLiteral("Home Phone:"), QStringLiteral("PHOME"));
    m_details->addMemo(QStringLiteral("Comments:"), QStringLiteral("COMMENTS"));
}

DoctorsPage::~DoctorsPage() = default;

data::Table& DoctorsPage::linkCursor() const {
    return m_host.c().tbdlref;
}
data::ListQuery& DoctorsPage::listQuery() const {
    return m_host.c().qrydoctor;
}
QString DoctorsPage::listSql(int patientRef) const {
    return data::doctorListSql(patientRef);
}

bool DoctorsPage::DBAdvStringGrid1RowChanging(int newRow) {
    data::MainCursors& c = m_host.c();
    if (!c.qrydoctor.active()) return true;
    const int r = queryRowOf(listGrid(), newRow, c.qrydoctor);
    if (r < 0) {
        planGrid()->loadRows({});
        for (QPushButton* b : {BitBtn1, btnEditDrAppt, btnRemoveDrAppt, btnEditDoctor, BitBtn7})
            b->setEnabled(false);
        c.tbdoctor.close();
        m_details->clear();
        return false;
    }
    c.tbdoctor.open();
    for (QPushButton* b : {BitBtn1, btnEditDoctor, BitBtn7})
        b->setEnabled(true);
    c.tbdoctor.locate(QStringLiteral("DRREF"), c.qrydoctor.value(r, QStringLiteral("DRREF")).toString());
    c.tbplanlist.close();
    c.tbdlref.locate(QStringLiteral("DLREF"), c.qrydoctor.value(r, QStringLiteral("DLREF")).toInt());
    c.tbplanlist.setFilter(QStringLiteral("PATIENTREF = %1 and DRREF = %2")
                               .arg(m_host.ctx.CurrentPatientRef)
                               .arg(c.tbdoctor.integer(QStringLiteral("DRREF"))));
    c.tbplanlist.setFiltered(true);
    c.tbplanlist.open();
    appointmentRowChange(1);
    showDetails();
    lblDrName->setText(displayText(QStringLiteral("Dr. ") + c.tbdoctor.text(QStringLiteral("FIRSTNAME")) +
                                       QLatin1Char(' ') +
                                       c.qrydoctor.value(r, QStringLiteral("LASTNAME")).toString(),
                                   kShortDisplay));
    return true;
}

void DoctorsPage::showDetails() {
    data::Table& d = m_host.c().tbdoctor;
    QMap<QString, QString> values;
    if (d.active() && !d.isEmpty())
        for (const char* f : {"SPECIALTY", "POFFICE", "PFAX", "PMOBILE", "PHOME", "COMMENTS"})
            values.insert(QString::fromLatin1(f), d.text(QString::fromLatin1(f)));
    m_details->show(values);
}

void DoctorsPage::appointmentRowChange(int row) {
    showPlans(m_host.c().tbplanlist, row);
}

void DoctorsPage::DBAdvStringGrid1ClickSort(int) {
    DBAdvStringGrid1RowChanging(listGrid()->selectedRow());
}

void DoctorsPage::DBAdvStringGrid1DblClickCell(int row, int) {
    if (row != 0 && btnEditDoctor->isEnabled()) btnEditDoctorClick();
}

void DoctorsPage::BitBtn5Click() {
    runDialog(false);
}
void DoctorsPage::btnEditDoctorClick() {
    runDialog(true);
}

void DoctorsPage::runDialog(bool editMode) {
    const int remembered = listGrid()->selectedRow();
    const int selected = editMode ? m_host.c().tbdoctor.integer(QStringLiteral("DRREF")) : -1;
    TfrmAddDoctor dialog(m_host.ctx, editMode ? TfrmAddDoctor::Mode::Edit : TfrmAddDoctor::Mode::Add,
                         selected, m_host.window);
    if (dialog.exec() != QDialog::Accepted) return;
    m_host.c().tbplanlist2.refresh();
    m_host.c().tbdoctor.reopen();
    m_host.c().tbdoctor2.refresh();
    // After adding, the first row of the sorted list; after editing, the same row number.
    showRowAfterChange(editMode ? remembered : 1);
    m_host.calendarChanged();
}

void DoctorsPage::BitBtn7Click() {
    if (!Messages::confirm(m_host.window,
                           QStringLiteral("Are you sure you want to remove the selected doctor?")))
        return;
    data::MainCursors& c = m_host.c();
    data::removeDoctorLink(m_host.ctx.db, m_host.ctx.CurrentPatientRef,
                           c.tbdlref.integer(QStringLiteral("DLREF")));
    afterRemoval({&c.tbdlref, &c.tbdoctor, &c.tbnotif});
}

void DoctorsPage::BitBtn1Click() {
    addPlan();
}
void DoctorsPage::btnEditDrApptClick() {
    editPlan();
}
void DoctorsPage::btnRemoveDrApptClick() {
    removePlan(QStringLiteral("Are you sure you want to remove the selected appointment?"));
}

data::Table& DoctorsPage::planCursor() const {
    return m_host.c().tbplanlist;
}

void DoctorsPage::openWizard(bool edit, int apptId) {
    if (m_host.openAppointmentWizard &&
        m_host.openAppointmentWizard(m_host.c().tbdoctor.integer(QStringLiteral("DRREF")),
                                     edit ? apptId : -1))
        afterPlanChange();
}

} // namespace vantrel
