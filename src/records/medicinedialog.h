#pragma once
// Adds a new medicine, takes one over from another profile, or edits the selected one, with this
// profile's prescription number for it.
#include "data/table.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace vantrel {

struct Context;

class TfrmMedicine : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

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
    void loadOtherProfilesMedicines();
    void showRow();
    void writeRows();

    Context& m_ctx;
    Mode m_mode;
    data::Table tbmedicine, tbmedicinelist, tbmlref;
    int m_takenOver = -1; // MEDREF of a medicine chosen from another profile

    QGroupBox *m_upper, *m_info;
    QRadioButton *rbSelectMedicine, *rbAddMedicine;
    QComboBox* cbMedicine;
    QLineEdit *dbMedName, *DBEdit2, *DBEdit3, *DBEdit1;
    QPlainTextEdit *DBMemo2, *DBMemo1;
};

} // namespace vantrel
