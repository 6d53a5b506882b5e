#include "records/adddoctor.h"

#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/phoneedit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const QString kInvalidPhone = QStringLiteral("Invalid input value.  Use escape key to abandon changes");

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}

} // namespace

const QStringList& TfrmAddDoctor::specialties() {
    static const QStringList list{"General Practitioner", "Allergist",      "Cardiologist",
                                  "Chiropractor",         "Dermatologist",  "Ear, Nose, and Throat",
                                  "Endocrinologist",      "Epidemiologist", "Gastroenterologist",
                                  "Hematologist",         "Immunologist",   "Internal Medicine",
                                  "Neurologist",          "Ob/Gyn",         "Oncologist",
                                  "Ophthalmologist",      "Optometrist",    "Pediatrician",
                                  "Podiatrist",           "Psychologist",   "Psychiatrist",
                                  "Radiologist",          "Urologist"};
    return list;
}

TfrmAddDoctor::TfrmAddDoctor(Context& ctx, Mode mode, int selectedDoctor, QWidget* mainWindow)
    : TakeOverDialog(ctx, mode, QStringLiteral("doctor"), QStringLiteral("DRREF"), mainWindow),
      tbdoctorlist(ctx.db, QStringLiteral("doctor"), QStringLiteral("tbdoctorlist")),
      tbdlref(ctx.db, QStringLiteral("dlref"), QStringLiteral("tbdlref")) {
    setObjectName(QStringLiteral("TfrmAddDoctor"));
    setWindowTitle(QStringLiteral("Add Doctor"));
    buildControls();

    tbdoctorlist.open();
    tbdoctor.open();
    tbdlref.open();
    const bool us = ctx.settings.PhoneFormat == 0;
    for (PhoneEdit* e : {m_office, m_fax, m_mobile, m_home})
        e->setUsFormat(us);

    if (mode == Mode::Add) {
        // Every doctor the current profile has no link to, sorted by "Last, First".
        fillUnlinked(cbDoctor, tbdoctorlist, tbdlref, true, [](data::Table& d) {
            return d.text(QStringLiteral("LASTNAME")) + QStringLiteral(", ") +
                   d.text(QStringLiteral("FIRSTNAME"));
        });
        showRow();
    } else {
        tbdoctor.locate(QStringLiteral("drref"), selectedDoctor);
        showRow();
        rbSelectDoctor->hide();
        cbDoctor->hide();
        rbAddDoctor->setText(QStringLiteral("Edit Doctor"));
        setWindowTitle(QStringLiteral("Edit Doctor"));
        // A doctor's name is kept; everything else may change.
        for (QWidget* w : {static_cast<QWidget*>(rbAddDoctor), static_cast<QWidget*>(m_nameGroup)})
            w->setFocusPolicy(Qt::NoFocus);
        for (QLineEdit* e : {dbLastName, dbFirstName, dbMI}) {
            e->setReadOnly(true);
            e->setFocusPolicy(Qt::NoFocus);
        }
    }
    adjustSize();
    setFixedSize(sizeHint());
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

void TfrmAddDoctor::buildControls() {
    auto* layout = new QVBoxLayout(this);
    m_nameGroup = new QGroupBox(QStringLiteral("Doctor Name"), this);
    auto* ng = new QGridLayout(m_nameGroup);
    rbSelectDoctor = new QRadioButton(QStringLiteral("Select Doctor From Another Profile"), m_nameGroup);
    rbSelectDoctor->setObjectName(QStringLiteral("rbSelectDoctor"));
    cbDoctor = new QComboBox(m_nameGroup);
    cbDoctor->setObjectName(QStringLiteral("cbDoctor"));
    cbDoctor->setEditable(false);
    cbDoctor->setEnabled(false);
    rbAddDoctor = new QRadioButton(QStringLiteral("Add New Doctor"), m_nameGroup);
    rbAddDoctor->setObjectName(QStringLiteral("rbAddDoctor"));
    rbAddDoctor->setChecked(true);
    dbLastName = lineEdit(m_nameGroup, "dbLastName", 20);
    dbFirstName = lineEdit(m_nameGroup, "dbFirstName", 15);
    dbMI = lineEdit(m_nameGroup, "dbMI", 1);
    dbMI->setFixedWidth(36);
    ng->addWidget(rbSelectDoctor, 0, 0, 1, 6);
    ng->addWidget(cbDoctor, 1, 0, 1, 6);
    ng->addWidget(rbAddDoctor, 2, 0, 1, 6);
    ng->addWidget(new QLabel(QStringLiteral("Last Name:"), m_nameGroup), 3, 0);
    ng->addWidget(dbLastName, 3, 1);
    ng->addWidget(new QLabel(QStringLiteral("First Name:"), m_nameGroup), 3, 2);
    ng->addWidget(dbFirstName, 3, 3);
    ng->addWidget(new QLabel(QStringLiteral("M.I.:"), m_nameGroup), 3, 4);
    ng->addWidget(dbMI, 3, 5);
    layout->addWidget(m_nameGroup);

    m_infoGroup = new QGroupBox(QStringLiteral("Doctor Information"), this);
    auto* ig = new QGridLayout(m_infoGroup);
    DBComboBox1 = new QComboBox(m_infoGroup);
    DBComboBox1->setObjectName(QStringLiteral("DBComboBox1"));
    DBComboBox1->setEditable(true);
    DBComboBox1->addItems(specialties());
    DBComboBox1->lineEdit()->setMaxLength(35);
    DBComboBox1->setInsertPolicy(QComboBox::NoInsert);
    auto phone = [this](const char* name) {
        auto* e = new PhoneEdit(m_infoGroup);
        e->setObjectName(QString::fromLatin1(name));
        connect(e, &PhoneEdit::leftIncomplete, this, [this, e] { phoneLeftIncomplete(e); });
        return e;
    };
    m_office = phone("dbOfficePhone");
    m_fax = phone("dbOfficeFax");
    m_mobile = phone("dbMobilePhone");
    m_home = phone("dbHomePhone");
    ig->addWidget(new QLabel(QStringLiteral("Specialization:"), m_infoGroup), 0, 0);
    ig->addWidget(DBComboBox1, 0, 1, 1, 3);
    ig->addWidget(new QLabel(QStringLiteral("Office Phone:"), m_infoGroup), 1, 0);
    ig->addWidget(m_office, 1, 1);
    ig->addWidget(new QLabel(QStringLiteral("Office Fax:"), m_infoGroup), 1, 2);
    ig->addWidget(m_fax, 1, 3);
    ig->addWidget(new QLabel(QStringLiteral("Mobile Phone:"), m_infoGroup), 2, 0);
    ig->addWidget(m_mobile, 2, 1);
    ig->addWidget(new QLabel(QStringLiteral("Home Phone:"), m_infoGroup), 2, 2);
    ig->addWidget(m_home, 2, 3);
    layout->addWidget(m_infoGroup);

    layout->addWidget(new QLabel(QStringLiteral("Comments:"), this));
    m_comments = new QPlainTextEdit(this);
    m_comments->setObjectName(QStringLiteral("DBMemo1"));
    m_comments->setFixedHeight(70);
    layout->addWidget(m_comments);

    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1", "BitBtn2");

    connect(rbSelectDoctor, &QRadioButton::clicked, this, &TfrmAddDoctor::rbSelectDoctorClick);
    connect(rbAddDoctor, &QRadioButton::clicked, this, &TfrmAddDoctor::rbAddDoctorClick);
    connect(cbDoctor, qOverload<int>(&QComboBox::activated), this, &TfrmAddDoctor::cbDoctorChange);
    connect(ok, &QPushButton::clicked, this, &TfrmAddDoctor::BitBtn1Click);
}

void TfrmAddDoctor::showRow() {
    auto field = [&](const char* f) {
        return existingRow() ? tbdoctor.text(QString::fromLatin1(f)) : QString();
    };
    dbLastName->setText(field("LASTNAME"));
    dbFirstName->setText(field("FIRSTNAME"));
    dbMI->setText(field("MINITIAL"));
    DBComboBox1->setCurrentText(field("SPECIALTY"));
    m_office->setStoredText(field("POFFICE"));
    m_fax->setStoredText(field("PFAX"));
    m_mobile->setStoredText(field("PMOBILE"));
    m_home->setStoredText(field("PHOME"));
    m_comments->setPlainText(field("COMMENTS"));
    // What each field shows now; a field still showing it on OK was not touched.
    m_shownAtLoad.clear();
    if (existingRow())
        for (const auto& [name, value] : fieldValues())
            m_shownAtLoad.insert(name, value);
}

QList<std::pair<QString, QString>> TfrmAddDoctor::fieldValues() const {
    return {{QStringLiteral("SPECIALTY"), DBComboBox1->currentText()},
            {QStringLiteral("POFFICE"), m_office->storedText()},
            {QStringLiteral("PFAX"), m_fax->storedText()},
            {QStringLiteral("PMOBILE"), m_mobile->storedText()},
            {QStringLiteral("PHOME"), m_home->storedText()},
            {QStringLiteral("COMMENTS"), m_comments->toPlainText()}};
}

bool TfrmAddDoctor::untouched(const QString& field, const QString& value) const {
    return existingRow() && m_shownAtLoad.contains(field) && m_shownAtLoad.value(field) == value;
}

void TfrmAddDoctor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_mode == Mode::Edit)
        DBComboBox1->setFocus();
    else
        rbAddDoctor->setFocus();
}

QList<QWidget*> TfrmAddDoctor::nameEdits() const {
    return {dbLastName, dbFirstName, dbMI};
}
void TfrmAddDoctor::rbSelectDoctorClick() {
    chooseFromList(cbDoctor, nameEdits());
}
void TfrmAddDoctor::rbAddDoctorClick() {
    typeNew(cbDoctor, nameEdits());
}
void TfrmAddDoctor::cbDoctorChange(int index) {
    choose(cbDoctor, index);
}

void TfrmAddDoctor::phoneLeftIncomplete(PhoneEdit* edit) {
    Messages::warning(this, kInvalidPhone);
    // Back to the field once the focus change that left it has finished.
    QTimer::singleShot(0, edit, [edit] { edit->setFocus(Qt::OtherFocusReason); });
}

void TfrmAddDoctor::writeRow() {
    if (newRow()) {
        tbdoctor.append();
        tbdoctor.setValue(QStringLiteral("LASTNAME"), dbLastName->text());
        tbdoctor.setValue(QStringLiteral("FIRSTNAME"), dbFirstName->text());
        tbdoctor.setValue(QStringLiteral("MINITIAL"), dbMI->text());
    } else {
        tbdoctor.edit();
    }
    // A field the user did not touch keeps what is stored, to the letter, even where it is
    // longer than the field now allows.
    for (const auto& [name, value] : fieldValues())
        if (!untouched(name, value))
            tbdoctor.setValue(name, name == QLatin1String("SPECIALTY") ? value.left(35) : value);
    tbdoctor.post();
    if (m_mode == Mode::Add) {
        tbdlref.append();
        tbdlref.setValue(QStringLiteral("PATIENTREF"), m_ctx.CurrentPatientRef);
        tbdlref.setValue(QStringLiteral("DRREF"), tbdoctor.integer(QStringLiteral("DRREF")));
        tbdlref.post();
    }
}

void TfrmAddDoctor::BitBtn1Click() {
    if (dbLastName->text().isEmpty()) {
        Messages::warning(this, QStringLiteral("Warning: Last name is required"));
        return;
    }
    if (dbFirstName->text().isEmpty()) {
        Messages::warning(this, QStringLiteral("Warning: First name is required"));
        return;
    }
    const QList<std::pair<QString, PhoneEdit*>> phones{{QStringLiteral("POFFICE"), m_office},
                                                       {QStringLiteral("PFAX"), m_fax},
                                                       {QStringLiteral("PMOBILE"), m_mobile},
                                                       {QStringLiteral("PHOME"), m_home}};
    for (const auto& [name, e] : phones)
        if (!untouched(name, e->storedText()) && !e->isComplete()) {
            phoneLeftIncomplete(e);
            return;
        }
    // The doctor and its link land together or not at all.
    m_ctx.db.transaction([this] { writeRow(); });
    accept();
}

} // namespace vantrel
