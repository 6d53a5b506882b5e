#include "records/medicinespage.h"

#include "core/datetime.h"
#include "data/listquery.h"
#include "data/removal.h"
#include "data/table.h"
#include "plans/occurrences.h"
#include "plans/pills.h"
#include "records/medicinedialog.h"
#include "ui/messages.h"
#include "widgets/datagrid.h"
#include "widgets/detailsform.h"

#include <QPushButton>

namespace vantrel {

MedicinesPage::MedicinesPage(PageHost& host, QWidget* parent) : RecordsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet2"));
    m_page = buildTwoListPage(this, QStringLiteral("Medicines"),
                              {"Panel32",
                               "Panel34",
                               "Panel33",
                               "Panel35",
                               " Medicine List:",
                               "DBAdvStringGrid3",
                               {{"BitBtn10", "Add Medicine"},
                                {"btnEditMedicine", "Edit Medicine"},
                                {"BitBtn12", "Remove Medicine"}}},
                              {"Panel13",
                               "Panel28",
                               "Panel14",
                               "Panel29",
                               " Medicine Dosings:",
                               "DBAdvStringGrid4",
                               {{"btnAddMedicine", "Add Dosing"},
                                {"btnMedicineEdit", "Edit Dosing"},
                                {"btnMedicineRemove", "Remove Dosing"}}},
                              QStringLiteral("ScrollBox1"), QStringLiteral(" Medicine Details:"));
    BitBtn10 = m_page.upper.buttons[0];
    btnEditMedicine = m_page.upper.buttons[1];
    BitBtn12 = m_page.upper.buttons[2];
    btnAddMedicine = m_page.lower.buttons[0];
    btnMedicineEdit = m_page.lower.buttons[1];
    btnMedicineRemove = m_page.lower.buttons[2];
    for (QPushButton* b : {btnEditMedicine, BitBtn12, btnAddMedicine, btnMedicineEdit, btnMedicineRemove})
        b->setEnabled(false);

    listGrid()->setColumns({{QStringLiteral("Medicine"), QStringLiteral("name"), 450}});
    planGrid()->setColumns({{QStringLiteral("Dose Time"), QStringLiteral("STARTTIME"), 158},
                            {QStringLiteral("Schedule"), QStringLiteral("REPTYPE"), 200}});
    listGrid()->onRowChanging = [this](int row) { return DBAdvStringGrid3RowChanging(row); };
    connect(listGrid(), &DataGrid::clickSort, this, &MedicinesPage::DBAdvStringGrid3ClickSort);
    connect(listGrid(), &DataGrid::dblClickCell, this, &MedicinesPage::DBAdvStringGrid3DblClickCell);
    connect(BitBtn10, &QPushButton::clicked, this, &MedicinesPage::BitBtn10Click);
    connect(btnEditMedicine, &QPushButton::clicked, this, &MedicinesPage::btnEditMedicineClick);
    connect(BitBtn12, &QPushButton::clicked, this, &MedicinesPage::BitBtn12Click);
    connect(btnAddMedicine, &QPushButton::clicked, this, &MedicinesPage::btnAddMedicineClick);
    connect(btnMedicineEdit, &QPushButton::clicked, this, &MedicinesPage::btnMedicineEditClick);
    connect(btnMedicineRemove, &QPushButton::clicked, this, &MedicinesPage::btnMedicineRemoveClick);
    connect(planGrid(), &DataGrid::dblClickCell, this, [this] {
        if (btnMedicineEdit->isEnabled()) btnMedicineEditClick();
    });

    m_details = std::make_unique<DetailsForm>(m_page.details);
    m_details->addLine(QStringLiteral("Medicine Name:"), QStringLiteral("NAME"));
    m_details->addLine(QStringLiteral("Active Ingredients:"), QStringLiteral("ACTIVEIN"));
    m_details->addLine(QStringLiteral("Side Effects:"), QStringLiteral("SIDEEFFECTS"));
    m_details->addLine(QStringLiteral("On hand:"), QStringLiteral("ONHAND"));
    m_details->addMemo(QStringLiteral("Warnings:"), QStringLiteral("WARNINGS"));
    m_details->addMemo(QStringLiteral("Comments:"), QStringLiteral("COMMENTS"));
}

MedicinesPage::~MedicinesPage() = default;

data::Table& MedicinesPage::linkCursor() const {
    return m_host.c().tbmlref;
}
data::ListQuery& MedicinesPage::listQuery() const {
    return m_host.c().qrymedicine;
}
QString MedicinesPage::listSql(int patientRef) const {
    return data::medicineListSql(patientRef);
}

bool MedicinesPage::DBAdvStringGrid3RowChanging(int newRow) {
    data::MainCursors& c = m_host.c();
    if (!c.qrymedicine.active()) return true;
    const int r = queryRowOf(listGrid(), newRow, c.qrymedicine);
    if (r < 0) {
        planGrid()->loadRows({});
        c.tbmedicine.close();
        m_details->clear();
        for (QPushButton* b : {btnAddMedicine, btnMedicineEdit, btnMedicineRemove, btnEditMedicine, BitBtn12})
            b->setEnabled(false);
        return true;
    }
    c.tbmedicine.open();
    for (QPushButton* b : {btnAddMedicine, btnEditMedicine, BitBtn12})
        b->setEnabled(true);
    c.tbmedicine.locate(QStringLiteral("MEDREF"),
                        c.qrymedicine.value(r, QStringLiteral("MEDREF")).toString());
    c.tbmlref.locate(QStringLiteral("MLREF"), c.qrymedicine.value(r, QStringLiteral("MLREF")).toInt());
    c.tbplanlist3.close();
    c.tbplanlist3.setFilter(QStringLiteral("PATIENTREF = %1 and MEDREF = %2")
                                .arg(m_host.ctx.CurrentPatientRef)
                                .arg(c.tbmedicine.integer(QStringLiteral("MEDREF"))));
    c.tbplanlist3.setFiltered(true);
    c.tbplanlist3.open();
    dosingRowChange(1);
    showDetails();
    return true;
}

void MedicinesPage::showDetails() {
    data::Table& m = m_host.c().tbmedicine;
    QMap<QString, QString> values;
    if (m.active() && !m.isEmpty()) {
        for (const char* f : {"NAME", "ACTIVEIN", "SIDEEFFECTS", "WARNINGS", "COMMENTS"})
            values.insert(QString::fromLatin1(f), m.text(QString::fromLatin1(f)));
        // The person's count of it, where one is kept.
        const auto count = plans::pillCount(m_host.ctx.db, m_host.ctx.CurrentPatientRef, m.integer(QStringLiteral("MEDREF")));
        values.insert(QStringLiteral("ONHAND"), count ? plans::onHandText(*count) : QStringLiteral("not counted"));
    }
    m_details->show(values);
}

void MedicinesPage::dosingRowChange(int row) {
    showPlans(m_host.c().tbplanlist3, row);
}

void MedicinesPage::DBAdvStringGrid3ClickSort(int) {
    DBAdvStringGrid3RowChanging(listGrid()->selectedRow());
}

void MedicinesPage::DBAdvStringGrid3DblClickCell(int row, int) {
    if (row != 0 && btnEditMedicine->isEnabled()) btnEditMedicineClick();
}

void MedicinesPage::BitBtn10Click() {
    runDialog(false);
}
void MedicinesPage::btnEditMedicineClick() {
    runDialog(true);
}

void MedicinesPage::runDialog(bool editMode) {
    const int remembered = listGrid()->selectedRow();
    const int selected = editMode ? m_host.c().tbmedicine.integer(QStringLiteral("MEDREF")) : -1;
    TfrmMedicine dialog(m_host.ctx, editMode ? TfrmMedicine::Mode::Edit : TfrmMedicine::Mode::Add, selected,
                        m_host.window);
    if (dialog.exec() != QDialog::Accepted) return;
    data::MainCursors& c = m_host.c();
    for (data::Table* t : {&c.tbmlref, &c.tbmedicine, &c.tbmedicine2})
        t->reopen();
    // After adding, the first row of the sorted list; after editing, the same row number.
    showRowAfterChange(editMode ? remembered : 1);
    m_host.calendarChanged();
}

void MedicinesPage::BitBtn12Click() {
    if (!Messages::confirm(m_host.window,
                           QStringLiteral("Are you sure you want to remove the selected medicine?")))
        return;
    data::MainCursors& c = m_host.c();
    data::removeMedicineLink(m_host.ctx.db, m_host.ctx.CurrentPatientRef,
                             c.tbmlref.integer(QStringLiteral("MLREF")));
    afterRemoval({&c.tbmlref, &c.tbmedicine, &c.tbnotif});
}

void MedicinesPage::btnAddMedicineClick() {
    addPlan();
}
void MedicinesPage::btnMedicineEditClick() {
    editPlan();
}
void MedicinesPage::btnMedicineRemoveClick() {
    removePlan(QStringLiteral("Are you sure you want to remove the selected dose?"));
}

// A dosing shows its time of day, sorted as a time of day whatever day it starts, and its
// schedule in words, so two dosings of one medicine can be told apart.
RecordsPage::PlanCells MedicinesPage::planCells(const data::Table& plan) const {
    plans::Plan p;
    p.STARTTIME = plan.number(QStringLiteral("STARTTIME"));
    p.REPTYPE = plan.text(QStringLiteral("REPTYPE"));
    p.REPDAYS = plan.value(QStringLiteral("REPDAYS"));
    p.REPEND = plan.number(QStringLiteral("REPEND"));
    const double start = p.STARTTIME;
    const QString schedule = plans::scheduleInWords(p, m_host.ctx.clock->today());
    return {{dt::formatTime(start), schedule}, {dt::timeOf(dt::roundToSecond(start)), schedule}};
}

data::Table& MedicinesPage::planCursor() const {
    return m_host.c().tbplanlist3;
}

void MedicinesPage::openWizard(bool edit, int apptId) {
    if (m_host.openDosingWizard &&
        m_host.openDosingWizard(m_host.c().tbmedicine.integer(QStringLiteral("MEDREF")), edit ? apptId : -1))
        afterPlanChange();
}

} // namespace vantrel
