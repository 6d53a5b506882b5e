#include "app/calendartransfer.h"

#include "base/errors.h"
#include "core/shared.h"
#include "data/profiles.h"
#include "platform/qt/savefile.h"
#include "plans/icalendar.h"
#include "plans/medicinelist.h"
#include "plans/planstore.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "ui/pagehost.h"
#include "ui/printedlist.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const QString kCalendarFilter = QStringLiteral("iCalendar files|*.ics|All files|*.*");

QString profileName(const PageHost& host) {
    return data::profileName(host.ctx.db, host.ctx.CurrentPatientRef);
}

// A file name made of a person's name: letters, digits, blanks and dashes only.
QString fileNameOf(const QString& name, const QString& fallback) {
    QString out;
    for (const QChar c : name.simplified()) {
        if (c.isLetterOrNumber() || c == u'-') out += c;
        else if (c == u' ') out += u'-';
    }
    return out.isEmpty() ? fallback : out.left(60);
}

bool haveProfile(const PageHost& host) {
    if (host.ctx.CurrentPatientRef >= 0) return true;
    Messages::warning(host.window, QStringLiteral("Please add a profile first."));
    return false;
}

QString shown(const QString& file) {
    return QDir::toNativeSeparators(file);
}

} // namespace

TfrmExportCalendar::TfrmExportCalendar(const QString& profileName, QWidget* mainWindow) : QDialog(mainWindow) {
    makeFixedDialog(this, "TfrmExportCalendar", QStringLiteral("Export Calendar"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Write the appointments and dosing schedules of:"), this);
    layout->addWidget(label);
    rbProfileOnly = new QRadioButton(QStringLiteral("Only %1").arg(displayText(profileName, kShortDisplay)), this);
    rbProfileOnly->setObjectName(QStringLiteral("rbProfileOnly"));
    rbProfileOnly->setChecked(true);
    rbHousehold = new QRadioButton(QStringLiteral("The whole household"), this);
    rbHousehold->setObjectName(QStringLiteral("rbHousehold"));
    layout->addWidget(rbProfileOnly);
    layout->addWidget(rbHousehold);
    QPushButton* ok = addDialogButtons(this, layout, "btnOK", "btnCancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

bool TfrmExportCalendar::wholeHousehold() const {
    return rbHousehold->isChecked();
}

TfrmImportResult::TfrmImportResult(const plans::ImportReport& report, const QString& profileName, QWidget* mainWindow)
    : QDialog(mainWindow) {
    makeFixedDialog(this, "TfrmImportResult", QStringLiteral("Import Calendar"));
    auto* layout = new QVBoxLayout(this);
    QString summary = report.written == 1 ? QStringLiteral("1 plan was imported")
                                          : QStringLiteral("%1 plans were imported").arg(report.written);
    summary += QStringLiteral(" into the schedule of %1.").arg(displayText(profileName, kShortDisplay));
    if (report.doctorsAdded > 0 || report.medicinesAdded > 0)
        summary += QStringLiteral("\nAdded to the profile: %1 doctor(s), %2 medicine(s).")
                       .arg(report.doctorsAdded)
                       .arg(report.medicinesAdded);
    auto* lblImported = new QLabel(summary, this);
    lblImported->setObjectName(QStringLiteral("lblImported"));
    lblImported->setTextFormat(Qt::PlainText);
    layout->addWidget(lblImported);
    grdRefused = new QTableWidget(static_cast<int>(report.refused.size()), 2, this);
    grdRefused->setObjectName(QStringLiteral("grdRefused"));
    if (!report.refused.isEmpty()) {
        auto* lblRefused = new QLabel(QStringLiteral("These events were not imported:"), this);
        lblRefused->setObjectName(QStringLiteral("lblRefused"));
        layout->addWidget(lblRefused);
        grdRefused->setHorizontalHeaderLabels({QStringLiteral("Event"), QStringLiteral("Why it was not imported")});
        grdRefused->verticalHeader()->hide();
        grdRefused->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grdRefused->setSelectionMode(QAbstractItemView::NoSelection);
        grdRefused->setWordWrap(false);
        for (int r = 0; r < report.refused.size(); ++r) {
            const auto& [event, why] = report.refused[r];
            const QString name = event.isEmpty() ? QStringLiteral("(no summary)") : event;
            auto* item = new QTableWidgetItem(displayText(name, kShortDisplay));
            item->setToolTip(displayText(name, kLongDisplay));
            grdRefused->setItem(r, 0, item);
            grdRefused->setItem(r, 1, new QTableWidgetItem(why));
        }
        grdRefused->resizeColumnsToContents();
        grdRefused->setColumnWidth(0, std::min(grdRefused->columnWidth(0), 220));
        grdRefused->horizontalHeader()->setStretchLastSection(true);
        int height = grdRefused->horizontalHeader()->sizeHint().height() + 4;
        for (int r = 0; r < std::min<int>(10, grdRefused->rowCount()); ++r)
            height += grdRefused->rowHeight(r);
        grdRefused->setMinimumSize(std::min(grdRefused->columnWidth(0) + grdRefused->columnWidth(1) + 8, 720), height);
        layout->addWidget(grdRefused, 1);
    } else {
        grdRefused->hide();
    }
    QPushButton* ok = addDialogButtons(this, layout, "btnOK");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    adjustSize();
    placeDialog(this, mainWindow, Placement::Centred);
}

QByteArray CalendarTransfer::readCalendarFile(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw PlatformError(QStringLiteral("The file \"%1\" cannot be read: %2").arg(shown(file), f.errorString()));
    return f.read(plans::kMaxCalendarBytes + 1);
}

QString CalendarTransfer::exportedText(int written, int leftOut, const QString& file) {
    QString text = written == 1 ? QStringLiteral("1 plan was written to %1.").arg(shown(file))
                                : QStringLiteral("%1 plans were written to %2.").arg(written).arg(shown(file));
    if (leftOut == 1) text += QStringLiteral("\n1 plan without any occurrence was left out.");
    if (leftOut > 1) text += QStringLiteral("\n%1 plans without any occurrence were left out.").arg(leftOut);
    return text;
}

void CalendarTransfer::exportCalendar(PageHost& host) {
    if (!haveProfile(host)) return;
    const QString name = profileName(host);
    bool household = false;
    if (data::profileCount(host.ctx.db) > 1) {
        TfrmExportCalendar ask(name, host.window);
        if (ask.exec() != QDialog::Accepted) return;
        household = ask.wholeHousehold();
    }
    const QString suggested = QDir::home().filePath(
        (household ? QStringLiteral("household") : fileNameOf(name, QStringLiteral("calendar"))) + QStringLiteral(".ics"));
    const QString file = saveFileName(host.window, suggested, kCalendarFilter);
    if (file.isEmpty()) return;
    try {
        const QList<plans::Plan> all =
            plans::PlanStore(host.ctx.db).loadAll(household ? std::nullopt : std::optional(host.ctx.CurrentPatientRef));
        int leftOut = 0;
        const QByteArray ics = plans::exportCalendar(all, QString::fromUtf8(QTimeZone::systemTimeZoneId()), &leftOut);
        platform::saveFileAtomically(file, ics, platform::kOwnerOnly, QStringLiteral("the calendar"));
        Messages::info(host.window, exportedText(static_cast<int>(all.size()) - leftOut, leftOut, file));
    } catch (const std::exception& e) {
        Messages::error(host.window, errorText(e));
    }
}

bool CalendarTransfer::importCalendar(PageHost& host) {
    if (!haveProfile(host)) return false;
    const QString file = openFileName(host.window, QDir::homePath(), kCalendarFilter);
    if (file.isEmpty()) return false;
    QByteArray bytes;
    try {
        bytes = readCalendarFile(file);
    } catch (const std::exception& e) {
        Messages::warning(host.window, errorText(e));
        return false;
    }
    const plans::ParsedCalendar parsed = plans::parseCalendar(bytes);
    if (!parsed.problem.isEmpty()) {
        Messages::warning(host.window, QStringLiteral("\"%1\" cannot be imported. %2 Nothing was imported.")
                                           .arg(shown(file), parsed.problem));
        return false;
    }
    plans::ImportReport report;
    try {
        report = plans::importCalendar(host.ctx.db, parsed, host.ctx.CurrentPatientRef, host.ctx.clock->nowValue());
    } catch (const std::exception& e) {
        Messages::error(host.window, errorText(e));
        return true; // what was written before the fault stays, and is shown
    }
    TfrmImportResult result(report, profileName(host), host.window);
    result.exec();
    return report.written > 0;
}

void CalendarTransfer::printMedicineList(PageHost& host) {
    if (!haveProfile(host)) return;
    try {
        const plans::MedicineList list = plans::medicineList(host.ctx.db, host.ctx.CurrentPatientRef, host.ctx.clock->nowValue());
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Medicine list of ") + list.person);
        printer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        QPrintPreviewDialog preview(&printer, host.window);
        preview.setObjectName(QStringLiteral("TfrmPrintPreview"));
        preview.setWindowTitle(QStringLiteral("Print Medicine List"));
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&list](QPrinter* p) {
            try {
                paintMedicineList(list, *p);
            } catch (const std::exception& e) {
                Messages::error(nullptr, errorText(e));
            }
        });
        preview.resize(760, 820);
        preview.exec();
    } catch (const std::exception& e) {
        Messages::error(host.window, errorText(e));
    }
}

void CalendarTransfer::saveMedicineListAsPdf(PageHost& host) {
    if (!haveProfile(host)) return;
    const QString name = profileName(host);
    const QString suggested =
        QDir::home().filePath(QStringLiteral("medicine-list-%1.pdf").arg(fileNameOf(name, QStringLiteral("profile"))));
    const QString file = saveFileName(host.window, suggested, QStringLiteral("PDF files|*.pdf|All files|*.*"));
    if (file.isEmpty()) return;
    try {
        saveMedicineListPdf(plans::medicineList(host.ctx.db, host.ctx.CurrentPatientRef, host.ctx.clock->nowValue()), file);
        Messages::info(host.window, QStringLiteral("The medicine list was written to %1.").arg(shown(file)));
    } catch (const std::exception& e) {
        Messages::error(host.window, errorText(e));
    }
}

} // namespace vantrel
