#pragma once
// The medicine list set on pages: a printer, its preview or a PDF file. Each page carries the
// person's name and its number; a line that does not fit goes on to the next page. Every text
// is drawn as plain text, as it was typed.
#include "plans/medicinelist.h"

class QPagedPaintDevice;

namespace vantrel {

// Paints the list on the device from its first page on; returns the number of pages.
int paintMedicineList(const plans::MedicineList& list, QPagedPaintDevice& device);

// Writes the list as a PDF file (A4 or Letter by the locale); throws PlatformError naming the
// file when it cannot be written.
void saveMedicineListPdf(const plans::MedicineList& list, const QString& file);

} // namespace vantrel
