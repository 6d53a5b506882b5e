#pragma once
// The medicines page: the current profile's medicines, the dosings of the selected medicine, and
// the selected medicine's details.
#include "records/recordspage.h"

class QPushButton;

namespace vantrel {

class DetailsForm;

class MedicinesPage : public RecordsPage {
    Q_OBJECT
public:
    MedicinesPage(PageHost& host, QWidget* parent = nullptr);
    ~MedicinesPage() override;
    QWidget* dosingPanel() const { return planPanel(); } // Panel13

    bool rowChanging(int shownRow) override { return DBAdvStringGrid3RowChanging(shownRow); }

public slots:
    bool DBAdvStringGrid3RowChanging(int newRow);
    void DBAdvStringGrid3ClickSort(int column);
    void DBAdvStringGrid3DblClickCell(int row, int column);
    void BitBtn10Click();
    void btnEditMedicineClick();
    void BitBtn12Click();
    // The dosing list follows the selected medicine.
    void dosingRowChange(int row);
    void btnAddMedicineClick();
    void btnMedicineEditClick();
    void btnMedicineRemoveClick();

protected:
    data::Table& linkCursor() const override;
    data::ListQuery& listQuery() const override;
    QString listSql(int patientRef) const override;
    PlanCells planCells(const data::Table& plan) const override;
    data::Table& planCursor() const override;
    void openWizard(bool edit, int apptId) override;

private:
    void showDetails();
    void runDialog(bool editMode);

    QPushButton *BitBtn10, *btnEditMedicine, *BitBtn12, *btnAddMedicine, *btnMedicineEdit, *btnMedicineRemove;
    std::unique_ptr<DetailsForm> m_details;
};

} // namespace vantrel
