#pragma once
// The doctors page: the current profile's doctors, the appointments with the selected doctor,
// and the selected doctor's details.
#include "records/recordspage.h"

class QLabel;
class QPushButton;

namespace vantrel {

class DetailsForm;

class DoctorsPage : public RecordsPage {
    Q_OBJECT
public:
    DoctorsPage(PageHost& host, QWidget* parent = nullptr);
    ~DoctorsPage() override;
    QWidget* appointmentPanel() const { return planPanel(); } // Panel17

    bool rowChanging(int shownRow) override { return DBAdvStringGrid1RowChanging(shownRow); }

public slots:
    bool DBAdvStringGrid1RowChanging(int newRow);
    void DBAdvStringGrid1ClickSort(int column);
    void DBAdvStringGrid1DblClickCell(int row, int column);
    void BitBtn5Click();
    void btnEditDoctorClick();
    void BitBtn7Click();
    // The appointment list follows the selected doctor.
    void appointmentRowChange(int row);
    void BitBtn1Click();
    void btnEditDrApptClick();
    void btnRemoveDrApptClick();

protected:
    data::Table& linkCursor() const override;
    data::ListQuery& listQuery() const override;
    QString listSql(int patientRef) const override;
    data::Table& planCursor() const override;
    void openWizard(bool edit, int apptId) override;

private:
    void showDetails();
    void runDialog(bool editMode);

    QPushButton *BitBtn5, *btnEditDoctor, *BitBtn7, *BitBtn1, *btnEditDrAppt, *btnRemoveDrAppt;
    QLabel* lblDrName;
    std::unique_ptr<DetailsForm> m_details;
};

} // namespace vantrel
