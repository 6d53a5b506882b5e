#pragma once
// Adds a new doctor, takes one over from another profile, or edits the selected one.
#include "records/takeoverdialog.h"

#include <QMap>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace vantrel {

class PhoneEdit;

class TfrmAddDoctor : public TakeOverDialog {
    Q_OBJECT
public:
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
    void showRow() override;
    void writeRow();
    void phoneLeftIncomplete(PhoneEdit* edit);
    // The doctor's fields by name, as the controls show them.
    QList<std::pair<QString, QString>> fieldValues() const;
    bool untouched(const QString& field, const QString& value) const;
    QList<QWidget*> nameEdits() const;

    data::Table& tbdoctor = m_row;
    data::Table tbdoctorlist, tbdlref;

    QGroupBox *m_nameGroup, *m_infoGroup;
    QRadioButton *rbSelectDoctor, *rbAddDoctor;
    QComboBox *cbDoctor, *DBComboBox1;
    QLineEdit *dbLastName, *dbFirstName, *dbMI;
    PhoneEdit *m_office, *m_fax, *m_mobile, *m_home;
    QPlainTextEdit* m_comments;
    QMap<QString, QString> m_shownAtLoad;
};

} // namespace vantrel
