#pragma once
// The File menu's way out and in for the schedule: the calendar exported to and imported from
// iCalendar files, and the medicine list printed or saved as PDF. Each works on the current
// profile (the export also on the whole household) and says what it did.
#include "plans/calendarimport.h"

#include <QDialog>

class QRadioButton;
class QTableWidget;

namespace vantrel {

struct PageHost;

// Whose calendar goes into the file: the current profile's or the whole household's.
class TfrmExportCalendar : public QDialog {
    Q_OBJECT
public:
    TfrmExportCalendar(const QString& profileName, QWidget* mainWindow);
    bool wholeHousehold() const;

private:
    QRadioButton* rbProfileOnly;
    QRadioButton* rbHousehold;
};

// What an import wrote, and each event it did not take with the reason.
class TfrmImportResult : public QDialog {
    Q_OBJECT
public:
    TfrmImportResult(const plans::ImportReport& report, const QString& profileName, QWidget* mainWindow);

private:
    QTableWidget* grdRefused;
};

class CalendarTransfer {
public:
    // The file's bytes, at most one more than a calendar may have, so that a device or a pipe that
    // never ends is not read on and on; throws PlatformError naming a file that cannot be read.
    static QByteArray readCalendarFile(const QString& file);
    // "3 plans were written to FILE.", with the plans left out for having no occurrence.
    static QString exportedText(int written, int leftOut, const QString& file);
    static void exportCalendar(PageHost& host);
    // True when plans were written.
    static bool importCalendar(PageHost& host);
    static void printMedicineList(PageHost& host);
    static void saveMedicineListAsPdf(PageHost& host);
};

} // namespace vantrel
