#include "records/takeoverdialog.h"

#include "core/shared.h"
#include "session/context.h"
#include "ui/dialogs.h"

#include <QComboBox>

namespace vantrel {

TakeOverDialog::TakeOverDialog(Context& ctx, Mode mode, const QString& table, const QString& keyField,
                               QWidget* mainWindow)
    : QDialog(mainWindow), m_ctx(ctx), m_mode(mode), m_row(ctx.db, table, QStringLiteral("tb") + table),
      m_keyField(keyField) {
    setFixedDialogFlags(this);
}

void TakeOverDialog::fillUnlinked(QComboBox* list, data::Table& all, data::Table& links, bool sorted,
                                  const std::function<QString(data::Table&)>& text) {
    QList<std::pair<QString, int>> entries;
    for (all.first(); !all.eof(); all.next()) {
        const int key = all.integer(m_keyField);
        links.setFilter(QStringLiteral("PATIENTREF = %1 AND %2 = %3")
                            .arg(m_ctx.CurrentPatientRef)
                            .arg(m_keyField)
                            .arg(key));
        links.setFiltered(true);
        if (links.isEmpty()) entries.append({text(all), key});
    }
    links.setFiltered(false);
    if (sorted)
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return a.first.localeAwareCompare(b.first) < 0;
        });
    for (const auto& [entry, key] : entries)
        list->addItem(displayText(entry, kShortDisplay), key);
    list->setCurrentIndex(-1);
}

void TakeOverDialog::chooseFromList(QComboBox* list, const QList<QWidget*>& nameEdits) {
    list->setEnabled(true);
    for (QWidget* e : nameEdits)
        e->setEnabled(false);
}

void TakeOverDialog::typeNew(QComboBox* list, const QList<QWidget*>& nameEdits) {
    list->setEnabled(false);
    for (QWidget* e : nameEdits)
        e->setEnabled(true);
    if (m_mode == Mode::Add && m_takenOver >= 0) {
        m_takenOver = -1;
        list->setCurrentIndex(-1);
        showRow();
    }
}

void TakeOverDialog::choose(QComboBox* list, int index) {
    if (index < 0) return;
    const int key = list->itemData(index).toInt();
    if (!m_row.locate(m_keyField, key)) return;
    m_takenOver = key;
    showRow();
}

} // namespace vantrel
