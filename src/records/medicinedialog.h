#pragma once
// Adds a new medicine, takes one over from another profile, or edits the selected one, with this
// profile's prescription number for it.
#include "records/takeoverdialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace vantrel {

class TfrmMedicine : public TakeOverDialog {
    Q_OBJECT
public:
    // selectedMedicine: the MEDREF to edit (edit mode only).
    TfrmMedicine(Context& ctx, Mode mode, int selectedMedicine, QWidget* mainWindow);

public slots:
    void rbSelectMedicineClick();
    void rbAddMedicineClick();
    void cbMedicineChange(int index);
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildControls();
    void showRow() override;
    void writeRows();

    data::Table& tbmedicine = m_row;
    data::Table tbmedicinelist, tbmlref;

    QGroupBox *m_upper, *m_info;
    QRadioButton *rbSelectMedicine, *rbAddMedicine;
    QComboBox* cbMedicine;
    QLineEdit *dbMedName, *DBEdit2, *DBEdit3, *DBEdit1;
    QLineEdit *tePillsOnHand, *tePillsPerDose, *teRefillDays;
    QPlainTextEdit *DBMemo2, *DBMemo1;
};

} // namespace vantrel
