#pragma once
// The history page: the current profile's dose log over a chosen period, newest first, how many
// doses of each medicine were taken, a square a day, answers set afterwards, notes, and the rows
// written out as CSV.
#include "plans/doselog.h"
#include "ui/pagehost.h"
#include "widgets/listsection.h"

#include <QDialog>
#include <QWidget>
#include <optional>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QScrollArea;

namespace vantrel {

class DaySquares;

// The small dialog of a history row: the time a dose was taken, or the row's note.
class TfrmHistoryEntry : public QDialog {
    Q_OBJECT
public:
    enum class Mode { TakenAt, Note };
    static constexpr int kMostNote = 500;

    TfrmHistoryEntry(Mode mode, const plans::DoseLogRow& row, QWidget* mainWindow);
    double takenAt() const;
    QString note() const;

private:
    QDateTimeEdit* dtTakenAt = nullptr;
    QLineEdit* teNote = nullptr;
};

class HistoryPage : public QWidget {
    Q_OBJECT
public:
    HistoryPage(PageHost& host, QWidget* parent = nullptr);

    // The periods offered, in days; 0 is the whole history.
    static constexpr int kPeriods[] = {7, 30, 90, 0};

    void switchProfile(int patientRef);
    // Reads the profile's rows of the period again, and shows them with their summaries.
    void reload();
    void applyColorScheme(int scheme);
    int periodDays() const;
    DataGrid* grid() const { return m_list.grid; }
    DaySquares* days() const { return DoseDays; }
    // The rows shown, in the order they were read (newest first).
    const QList<plans::DoseLogRow>& rows() const { return m_rows; }

public slots:
    void cbHistoryPeriodChange();
    void btnHistoryTakenClick();
    void btnHistorySkippedClick();
    void btnHistoryNoteClick();
    void btnExportHistoryClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::optional<plans::DoseLogRow> selectedRow() const;
    void showSummaries();
    void updateButtons();
    void reloadKeepingSelection(int logId);

    PageHost& m_host;
    int m_patientRef = -1;
    ListSection m_list;
    QComboBox* cbHistoryPeriod;
    QLabel* lblAdherence;
    DaySquares* DoseDays;
    QList<DaySquares*> m_legend;
    QScrollArea* m_detailsBox;
    QList<plans::DoseLogRow> m_rows;
};

} // namespace vantrel
