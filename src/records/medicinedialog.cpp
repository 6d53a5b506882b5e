#include "records/medicinedialog.h"

#include "plans/pills.h"

#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantrel {

TfrmMedicine::TfrmMedicine(Context& ctx, Mode mode, int selectedMedicine, QWidget* mainWindow)
    : TakeOverDialog(ctx, mode, QStringLiteral("medicine"), QStringLiteral("MEDREF"), mainWindow),
      tbmedicinelist(ctx.db, QStringLiteral("medicine"), QStringLiteral("tbmedicinelist")),
      tbmlref(ctx.db, QStringLiteral("mlref"), QStringLiteral("tbmlref")) {
    setObjectName(QStringLiteral("TfrmMedicine"));
    setWindowTitle(QStringLiteral("Add Medicine"));
    buildControls();
    tbmedicinelist.open();
    tbmedicine.open();
    tbmlref.open();

    if (mode == Mode::Add) {
        // Every medicine the current profile has no link to, in table order.
        fillUnlinked(cbMedicine, tbmedicinelist, tbmlref, false,
                     [](data::Table& m) { return m.text(QStringLiteral("NAME")); });
    } else {
        // Found by its key: two medicines of one name are two rows, and only this one changes.
        tbmedicine.locate(QStringLiteral("MEDREF"), selectedMedicine);
        tbmlref.setFilter(QStringLiteral("PATIENTREF = %1 AND MEDREF = %2")
                              .arg(ctx.CurrentPatientRef)
                              .arg(selectedMedicine));
        tbmlref.setFiltered(true);
        dbMedName->setReadOnly(true);
        dbMedName->setFocusPolicy(Qt::NoFocus);
        setWindowTitle(QStringLiteral("Edit Medicine"));
        rbAddMedicine->setText(QStringLiteral("Edit Medicine"));
        rbAddMedicine->setFocusPolicy(Qt::NoFocus);
        rbSelectMedicine->hide();
        cbMedicine->hide();
    }
    showRow();
    adjustSize();
    setFixedSize(sizeHint());
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

void TfrmMedicine::buildControls() {
    auto* layout = new QVBoxLayout(this);
    m_upper = new QGroupBox(this);
    auto* ug = new QVBoxLayout(m_upper);
    rbSelectMedicine = new QRadioButton(QStringLiteral("Select Medicine From Another Profile"), m_upper);
    rbSelectMedicine->setObjectName(QStringLiteral("rbSelectMedicine"));
    cbMedicine = new QComboBox(m_upper);
    cbMedicine->setObjectName(QStringLiteral("cbMedicine"));
    cbMedicine->setEditable(false); // pick-only, like the doctor dialog's list
    cbMedicine->setEnabled(false);
    rbAddMedicine = new QRadioButton(QStringLiteral("Add New Medicine"), m_upper);
    rbAddMedicine->setObjectName(QStringLiteral("rbAddMedicine"));
    rbAddMedicine->setChecked(true);
    dbMedName = new QLineEdit(m_upper);
    dbMedName->setObjectName(QStringLiteral("dbMedName"));
    ug->addWidget(rbSelectMedicine);
    ug->addWidget(cbMedicine);
    ug->addWidget(rbAddMedicine);
    ug->addWidget(dbMedName);
    layout->addWidget(m_upper);
    // Each radio button is a stop of its own for Tab (an exclusive pair would be one stop, its
    // checked button), so the two are kept exclusive by hand.
    for (QRadioButton* r : {rbSelectMedicine, rbAddMedicine})
        r->setAutoExclusive(false);
    connect(rbSelectMedicine, &QRadioButton::toggled, this,
            [this](bool on) { rbAddMedicine->setChecked(!on); });
    connect(rbAddMedicine, &QRadioButton::toggled, this,
            [this](bool on) { rbSelectMedicine->setChecked(!on); });

    m_info = new QGroupBox(QStringLiteral("Medicine Information"), this);
    auto* ig = new QGridLayout(m_info);
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(m_info);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto memo = [this](const char* name) {
        auto* m = new QPlainTextEdit(m_info);
        m->setObjectName(QString::fromLatin1(name));
        m->setFixedHeight(56);
        return m;
    };
    DBEdit2 = edit("DBEdit2");
    DBEdit3 = edit("DBEdit3");
    DBEdit1 = edit("DBEdit1");
    DBMemo2 = memo("DBMemo2");
    DBMemo1 = memo("DBMemo1");
    ig->addWidget(new QLabel(QStringLiteral("Prescription #:"), m_info), 0, 0);
    ig->addWidget(DBEdit2, 0, 1);
    ig->addWidget(new QLabel(QStringLiteral("Active Ingredient: "), m_info), 1, 0);
    ig->addWidget(DBEdit3, 1, 1);
    ig->addWidget(new QLabel(QStringLiteral("Side Effects:"), m_info), 2, 0);
    ig->addWidget(DBEdit1, 2, 1);
    ig->addWidget(new QLabel(QStringLiteral("Warnings:"), m_info), 3, 0, 1, 2);
    ig->addWidget(DBMemo2, 4, 0, 1, 2);
    ig->addWidget(new QLabel(QStringLiteral("Comments:"), m_info), 5, 0, 1, 2);
    ig->addWidget(DBMemo1, 6, 0, 1, 2);
    layout->addWidget(m_info);
    // Pills on hand, for this person: left empty, they are not counted.
    auto* pills = new QGroupBox(QStringLiteral("Pills on Hand"), this);
    pills->setObjectName(QStringLiteral("PillsOnHand"));
    auto* pg = new QGridLayout(pills);
    auto small = [pills](const char* name) {
        auto* e = new QLineEdit(pills);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(48);
        return e;
    };
    tePillsOnHand = small("tePillsOnHand");
    tePillsPerDose = small("tePillsPerDose");
    teRefillDays = small("teRefillDays");
    pg->addWidget(new QLabel(QStringLiteral("Pills on hand:"), pills), 0, 0);
    pg->addWidget(tePillsOnHand, 0, 1);
    pg->addWidget(new QLabel(QStringLiteral("Pills per dose:"), pills), 1, 0);
    pg->addWidget(tePillsPerDose, 1, 1);
    pg->addWidget(new QLabel(QStringLiteral("Warn when fewer than"), pills), 2, 0);
    pg->addWidget(teRefillDays, 2, 1);
    pg->addWidget(new QLabel(QStringLiteral("days left"), pills), 2, 2);
    pg->setColumnStretch(3, 1);
    layout->addWidget(pills);
    const QList<QWidget*> order{dbMedName, rbSelectMedicine, cbMedicine, rbAddMedicine, DBEdit2};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1", "BitBtn2");
    setMinimumWidth(380);

    connect(rbSelectMedicine, &QRadioButton::clicked, this, &TfrmMedicine::rbSelectMedicineClick);
    connect(rbAddMedicine, &QRadioButton::clicked, this, &TfrmMedicine::rbAddMedicineClick);
    connect(cbMedicine, qOverload<int>(&QComboBox::activated), this, &TfrmMedicine::cbMedicineChange);
    connect(ok, &QPushButton::clicked, this, &TfrmMedicine::BitBtn1Click);
}

// The controls show the medicine being edited or taken over and this profile's prescription
// number; a new medicine starts empty.
void TfrmMedicine::showRow() {
    auto field = [&](const char* f) {
        return existingRow() ? tbmedicine.text(QString::fromLatin1(f)) : QString();
    };
    dbMedName->setText(field("NAME"));
    DBEdit3->setText(field("ACTIVEIN"));
    DBEdit1->setText(field("SIDEEFFECTS"));
    DBMemo2->setPlainText(field("WARNINGS"));
    DBMemo1->setPlainText(field("COMMENTS"));
    if (m_mode == Mode::Edit)
        DBEdit2->setText(tbmlref.isEmpty() ? QString() : tbmlref.text(QStringLiteral("rxnum")));
    const bool counted = m_mode == Mode::Edit && !tbmlref.isEmpty() && !tbmlref.isNull(QStringLiteral("PILLSONHAND"));
    tePillsOnHand->setText(counted ? QString::number(tbmlref.integer(QStringLiteral("PILLSONHAND"))) : QString());
    const bool linked = m_mode == Mode::Edit && !tbmlref.isEmpty();
    tePillsPerDose->setText(linked && !tbmlref.isNull(QStringLiteral("PILLSPERDOSE"))
                                ? QString::number(tbmlref.integer(QStringLiteral("PILLSPERDOSE")))
                                : QStringLiteral("1"));
    teRefillDays->setText(linked && !tbmlref.isNull(QStringLiteral("REFILLDAYS"))
                              ? QString::number(tbmlref.integer(QStringLiteral("REFILLDAYS")))
                              : QStringLiteral("7"));
}

void TfrmMedicine::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_mode == Mode::Edit)
        DBEdit3->setFocus();
    else
        dbMedName->setFocus();
}

void TfrmMedicine::rbSelectMedicineClick() {
    chooseFromList(cbMedicine, {dbMedName});
}
void TfrmMedicine::rbAddMedicineClick() {
    typeNew(cbMedicine, {dbMedName});
}
// The prescription number typed so far stays with the chosen medicine.
void TfrmMedicine::cbMedicineChange(int index) {
    choose(cbMedicine, index);
}

void TfrmMedicine::writeRows() {
    if (newRow()) {
        tbmedicine.append();
        tbmedicine.setValue(QStringLiteral("NAME"), dbMedName->text());
    } else {
        tbmedicine.edit();
    }
    tbmedicine.setValue(QStringLiteral("ACTIVEIN"), DBEdit3->text());
    tbmedicine.setValue(QStringLiteral("SIDEEFFECTS"), DBEdit1->text());
    tbmedicine.setValue(QStringLiteral("WARNINGS"), DBMemo2->toPlainText());
    tbmedicine.setValue(QStringLiteral("COMMENTS"), DBMemo1->toPlainText());
    tbmedicine.post();
    if (m_mode == Mode::Add) {
        tbmlref.append();
        tbmlref.setValue(QStringLiteral("PATIENTREF"), m_ctx.CurrentPatientRef);
        tbmlref.setValue(QStringLiteral("MEDREF"), tbmedicine.integer(QStringLiteral("MEDREF")));
    } else if (tbmlref.isEmpty()) {
        return; // no link to hold a prescription number
    } else {
        tbmlref.edit();
    }
    tbmlref.setValue(QStringLiteral("rxnum"), DBEdit2->text());
    const QString onHand = tePillsOnHand->text().trimmed();
    tbmlref.setValue(QStringLiteral("PILLSONHAND"), onHand.isEmpty() ? QVariant() : QVariant(onHand.toInt()));
    tbmlref.setValue(QStringLiteral("PILLSPERDOSE"), tePillsPerDose->text().trimmed().toInt());
    tbmlref.setValue(QStringLiteral("REFILLDAYS"), teRefillDays->text().trimmed().toInt());
    tbmlref.post();
}

void TfrmMedicine::BitBtn1Click() {
    if (dbMedName->text().isEmpty()) {
        Messages::warning(this, QStringLiteral("Warning: Medicine name is required"));
        return;
    }
    if (const auto problem =
            plans::checkPillBoxes(tePillsOnHand->text(), tePillsPerDose->text(), teRefillDays->text())) {
        Messages::warning(this, *problem);
        return;
    }
    // The medicine, its link and the prescription number land together or not at all.
    m_ctx.db.transaction([this] { writeRows(); });
    accept();
}

} // namespace vantrel
