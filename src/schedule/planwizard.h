#pragma once
// What the appointment and dosing wizards share: their own pages first, then the four reminder
// pages, then a Finish page; "<< Previous", "Cancel" and "Next >>" under them; and a Finish that
// checks everything first and writes the reminder and the plan in one transaction.
#include "plans/plan.h"
#include "schedule/planrules.h"
#include "schedule/reminderpages.h"

#include <QDialog>
#include <optional>
#include <variant>

class QPushButton;
class QStackedWidget;

namespace vantrel {

struct Context;

class PlanWizard : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    QStackedWidget* pages() const { return PageControl1; }
    int currentPage() const;
    ReminderPages* reminders() const { return m_reminders; }

public slots:
    void btnnextClick();
    void btnpreviousClick();

protected:
    PlanWizard(Context& ctx, Mode mode, bool appointment, QWidget* mainWindow);

    // Called by the host once its own pages are added: the reminder pages and the finish page
    // follow them.
    void addReminderAndFinishPages(QWidget* finish);
    // The host's own pages: the next page (or a message), and the previous one.
    virtual std::variant<int, QString> hostNext(int page) = 0;
    virtual int hostPrevious(int page) = 0;
    // The host's checks of what Finish writes, before anything is written.
    virtual std::optional<QString> hostCheck() = 0;
    // Fills the plan's fields from the host's pages; the store writes it with its reminder.
    virtual void fillPlan(plans::Plan& plan) = 0;

    // Loads the plan in edit mode, and its reminder row when it still has one; false when the
    // plan is gone.
    bool loadPlan(int apptId);
    void showPage(int page);
    // Closing the wizard, by Finish, Cancel or the close box, ends any test sound.
    void done(int result) override;

    Context& m_ctx;
    Mode m_mode;
    plans::Plan m_plan; // as loaded in edit mode; a new one in add mode

private:
    int firstReminderPage() const { return m_hostPages; }
    int finishPage() const { return m_hostPages + 4; }
    plans::ReminderPage reminderPageAt(int page) const;
    int indexOf(plans::ReminderPage page) const;
    void finish();
    void updateButtons();

    QStackedWidget* PageControl1;
    QPushButton *btnprevious, *Button3, *btnnext;
    ReminderPages* m_reminders;
    int m_hostPages = 0;
};

} // namespace vantrel
