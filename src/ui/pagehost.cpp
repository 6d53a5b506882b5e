#include "ui/pagehost.h"

namespace vantrel {

void PageHost::calendarChanged() const {
    if (populateCalendar) populateCalendar();
}

void PageHost::tell(const QString& text) const {
    if (tellWithoutWaiting) tellWithoutWaiting(text);
}

void PageHost::plansChanged(std::initializer_list<data::Table*> reopened,
                            const std::function<void()>& reloadList) const {
    for (data::Table* t : reopened)
        t->reopen();
    for (data::Table* t : {&c().tbplanlist2, &c().tbplanlist4})
        t->reopen();
    if (reloadList) reloadList();
    calendarChanged();
    ctx.NotifsLoaded = false;
}

} // namespace vantrel
