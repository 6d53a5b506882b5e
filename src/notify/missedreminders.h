#pragma once
// The window of the reminders that came due while the program was not running: whom each was for,
// the doctor or medicine, its time and its reminder text, newest first. A dose can be marked
// taken (at a chosen time, at first its own) or skipped; Close leaves the rest not confirmed.
#include "plans/reminderoccurrence.h"

#include <QList>
#include <QWidget>

class QDateTimeEdit;
class QLabel;
class QTableWidget;

namespace vantrel {

class TfrmMissedReminders : public QWidget {
    Q_OBJECT
public:
    // Columns of the list.
    enum Column { ColFor, ColItem, ColTime, ColText, ColTakenAt, ColAnswer, ColCount };

    explicit TfrmMissedReminders(const QList<ReminderOccurrence>& missed);
    const QList<ReminderOccurrence>& missed() const { return m_missed; }
    QTableWidget* list() const { return grdMissed; }
    // Marks a row's dose: "T" taken at the time in its row, or "S" skipped.
    void answerRow(int row, QChar state);

signals:
    void answered(int logId, QChar state, double at);

private:
    QList<ReminderOccurrence> m_missed;
    QTableWidget* grdMissed;
    QList<QDateTimeEdit*> m_takenAt;
};

} // namespace vantrel
