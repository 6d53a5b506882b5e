#pragma once
// Adds a new doctor, takes one over from another profile, or edits the selected one.
#include "data/table.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace vantrel {

struct Context;
class PhoneEdit;

class TfrmAddDoctor : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    // selectedDoctor: the DRREF to edit (edit mode only).
    TfrmAddDoctor(Context& ctx, Mode mode, int selectedDoctor, QWidget* mainWindow);

    static const QStringList& specialties();

public slots:
    void rbSelectDoctorClick();
    void rbAddDoctorClick();
    void cbDoctorChange(int index);
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildControls();
    void loadOtherProfilesDoctors();
    void showRow();
    void writeRow();
    void phoneLeftIncomplete(PhoneEdit* edit);

    Context& m_ctx;
    Mode m_mode;
    data::Table tbdoctor, tbdoctorlist, tbdlref;
    int m_takenOver = -1; // DRREF of a doctor chosen from another profile

    QGroupBox *m_nameGroup, *m_infoGroup;
    QRadioButton *rbSelectDoctor, *rbAddDoctor;
    QComboBox *cbDoctor, *DBComboBox1;
    QLineEdit *dbLastName, *dbFirstName, *dbMI;
    PhoneEdit *m_office, *m_fax, *m_mobile, *m_home;
    QPlainTextEdit* m_comments;
};

} // namespace vantrel
