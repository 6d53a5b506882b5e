#pragma once
// What the doctor and medicine dialogs share: a new row is typed in, or an existing row that
// another profile entered is chosen from a list and taken over, or the selected row is edited.
#include "data/table.h"

#include <QDialog>
#include <functional>

class QComboBox;

namespace vantrel {

struct Context;

class TakeOverDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

protected:
    TakeOverDialog(Context& ctx, Mode mode, const QString& table, const QString& keyField,
                   QWidget* mainWindow);

    // The list of rows the current profile has no link to, from `linkTable`, each shown by `text`.
    void fillUnlinked(QComboBox* list, data::Table& all, data::Table& links, bool sorted,
                      const std::function<QString(data::Table&)>& text);
    // The two radio buttons: choose from the list, or type a new one. Going back to a new row
    // lets a chosen row go, so typed names never rename a row other profiles share.
    void chooseFromList(QComboBox* list, const QList<QWidget*>& nameEdits);
    void typeNew(QComboBox* list, const QList<QWidget*>& nameEdits);
    // Choosing an entry always drops what was typed for a new row, so nothing without a link
    // is ever written.
    void choose(QComboBox* list, int index);

    bool existingRow() const { return m_mode == Mode::Edit || m_takenOver >= 0; }
    bool newRow() const { return !existingRow(); }
    // The controls show the row being edited or taken over; a new row starts empty.
    virtual void showRow() = 0;

    Context& m_ctx;
    Mode m_mode;
    data::Table m_row; // the row entered, taken over or edited
    QString m_keyField;
    int m_takenOver = -1;
};

} // namespace vantrel
