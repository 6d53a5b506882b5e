#include "schedule/planwizard.h"

#include "base/errors.h"
#include "plans/planstore.h"
#include "session/context.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vantrel {

PlanWizard::PlanWizard(Context& ctx, Mode mode, bool appointment, QWidget* mainWindow)
    : QDialog(mainWindow), m_ctx(ctx), m_mode(mode) {
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1, 1);
    auto* strip = new QHBoxLayout;
    btnprevious = new QPushButton(QStringLiteral("<< Previous"), this);
    btnprevious->setObjectName(QStringLiteral("btnprevious"));
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    btnnext = new QPushButton(QStringLiteral("Next >>"), this);
    btnnext->setObjectName(QStringLiteral("btnnext"));
    btnnext->setDefault(true);
    for (QPushButton* b : {btnprevious, Button3, btnnext})
        b->setFixedSize(89, 25);
    strip->addWidget(btnprevious);
    strip->addStretch(1);
    strip->addWidget(Button3);
    strip->addStretch(1);
    strip->addWidget(btnnext);
    layout->addLayout(strip);
    btnprevious->setEnabled(false);
    connect(btnnext, &QPushButton::clicked, this, &PlanWizard::btnnextClick);
    connect(btnprevious, &QPushButton::clicked, this, &PlanWizard::btnpreviousClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    m_reminders = new ReminderPages(ctx, appointment, this);
}

void PlanWizard::addReminderAndFinishPages(QWidget* finish) {
    m_hostPages = PageControl1->count();
    for (QWidget* p : m_reminders->pages())
        PageControl1->addWidget(p);
    PageControl1->addWidget(finish);
    showPage(0);
}

bool PlanWizard::loadPlan(int apptId) {
    const auto plan = plans::PlanStore(m_ctx.db).load(apptId);
    if (!plan) return false;
    m_plan = *plan;
    // A plan whose reminder row is gone starts from the pages' defaults.
    if (m_plan.reminder)
        m_reminders->load(*m_plan.reminder);
    else if (m_plan.NOTIFREF)
        m_reminders->prepareAdd();
    return true;
}

int PlanWizard::currentPage() const {
    return PageControl1->currentIndex();
}

plans::ReminderPage PlanWizard::reminderPageAt(int page) const {
    if (page < firstReminderPage()) return plans::ReminderPage::HostLast;
    if (page >= finishPage()) return plans::ReminderPage::Finish;
    return static_cast<plans::ReminderPage>(static_cast<int>(plans::ReminderPage::Type) + page -
                                            firstReminderPage());
}

int PlanWizard::indexOf(plans::ReminderPage page) const {
    if (page == plans::ReminderPage::Finish) return finishPage();
    return firstReminderPage() + static_cast<int>(page) - static_cast<int>(plans::ReminderPage::Type);
}

void PlanWizard::showPage(int page) {
    PageControl1->setCurrentIndex(page);
    updateButtons();
}

void PlanWizard::updateButtons() {
    btnnext->setText(currentPage() == finishPage() ? QStringLiteral("Finish") : QStringLiteral("Next >>"));
    btnprevious->setEnabled(currentPage() != 0);
}

void PlanWizard::btnnextClick() {
    const int page = currentPage();
    if (page < firstReminderPage()) {
        const auto next = hostNext(page);
        if (const auto* message = std::get_if<QString>(&next)) {
            Messages::warning(this, *message);
            return;
        }
        showPage(std::get<int>(next));
        return;
    }
    if (page == finishPage()) {
        finish();
        return;
    }
    const plans::ReminderPage on = reminderPageAt(page);
    if (const auto message = m_reminders->check(on)) {
        Messages::warning(this, *message);
        return;
    }
    showPage(indexOf(plans::nextPage(on, m_reminders->type())));
}

void PlanWizard::btnpreviousClick() {
    const int page = currentPage();
    if (page == 0) return;
    if (page < firstReminderPage()) {
        showPage(hostPrevious(page));
        return;
    }
    const plans::ReminderPage back = plans::previousPage(reminderPageAt(page), m_reminders->type());
    showPage(back == plans::ReminderPage::HostLast ? firstReminderPage() - 1 : indexOf(back));
}

void PlanWizard::finish() {
    // Everything that will be written is checked first, skipped pages included.
    std::optional<QString> problem = hostCheck();
    if (!problem) problem = plans::checkAll(m_reminders->values());
    if (problem) {
        Messages::warning(this, *problem);
        return;
    }
    // The old reminder row goes, the new one and the plan land: together or not at all.
    plans::Plan plan = m_plan;
    fillPlan(plan);
    plan.reminder = plans::reminderFrom(m_reminders->values());
    plan.PATIENTREF = m_ctx.CurrentPatientRef;
    plan.CHANGEDAT = m_ctx.clock->nowValue(); // its reminders are caught up from now on only
    try {
        plans::PlanStore(m_ctx.db).save(plan);
    } catch (const std::exception& e) {
        Messages::error(this, errorText(e));
        return;
    }
    m_plan = plan;
    accept();
}

void PlanWizard::done(int result) {
    m_reminders->stopSound();
    QDialog::done(result);
}

} // namespace vantrel
