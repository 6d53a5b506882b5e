#include "records/recordspage.h"

#include "core/datetime.h"
#include "data/listquery.h"
#include "data/removal.h"
#include "data/table.h"
#include "ui/messages.h"
#include "widgets/datagrid.h"

#include <QPushButton>
#include <QSplitter>

namespace vantrel {

RecordsPage::RecordsPage(PageHost& host, QWidget* parent) : QWidget(parent), m_host(host) {}

void RecordsPage::switchProfile(int patientRef) {
    data::Table& links = linkCursor();
    links.setFilter(QStringLiteral("patientref = %1").arg(patientRef));
    links.setFiltered(true);
    links.reopen();
    listQuery().close();
    listQuery().setSql(listSql(patientRef));
    listGrid()->resetSortColumn();
    reloadList();
    listGrid()->selectShownRow(1);
    rowChanging(1);
}

void RecordsPage::sortLists() {
    listGrid()->resort();
    planGrid()->resort();
}

void RecordsPage::showFirstRow() {
    listGrid()->selectShownRow(1);
    rowChanging(1);
}

void RecordsPage::setPanelHeights(int list, int plans) {
    m_stored = fitListHeights({list, plans}, 0);
    setListHeights(m_page, m_stored.upper, m_stored.lower);
}

ListHeights RecordsPage::panelHeights() const {
    if (!m_shown) return m_stored;
    return {listPanel()->height(), planPanel()->height()};
}

void RecordsPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    const ListHeights h = fitListHeights(m_stored, m_page.splitter->height());
    setListHeights(m_page, h.upper, h.lower);
}

void RecordsPage::reloadList() {
    fillGrid(listGrid(), listQuery());
}

void RecordsPage::applyColorScheme(int scheme) {
    paintTwoListPage(m_page, scheme);
}

void RecordsPage::fillGrid(DataGrid* grid, data::ListQuery& query) {
    query.reopen();
    QList<QStringList> rows;
    for (int r = 0; r < query.rowCount(); ++r) {
        QStringList cells;
        for (const DataGrid::Column& c : grid->columns())
            cells << query.value(r, c.field).toString();
        rows << cells;
    }
    grid->loadRows(rows);
}

int RecordsPage::queryRowOf(DataGrid* grid, int shownRow, const data::ListQuery& query) const {
    if (!query.active()) return -1;
    const int r = grid->dataRowOf(shownRow);
    return r >= 1 && r <= query.rowCount() ? r - 1 : -1;
}

void RecordsPage::showPlans(data::Table& plans, int row) {
    QList<QStringList> rows;
    QList<QVariantList> keys; // what each cell sorts by: date-times by time, not by their text
    if (plans.active())
        for (plans.first(); !plans.eof(); plans.next()) {
            const PlanCells cells = planCells(plans);
            rows << cells.text;
            keys << cells.keys;
        }
    planGrid()->loadRows(rows, keys);
    planGrid()->selectShownRow(row);
    const bool any = plans.active() && !plans.isEmpty();
    m_page.lower.buttons[1]->setEnabled(any);
    m_page.lower.buttons[2]->setEnabled(any);
}

RecordsPage::PlanCells RecordsPage::planCells(const data::Table& plan) const {
    const double start = plan.number(QStringLiteral("STARTTIME"));
    const double end = plan.number(QStringLiteral("ENDTIME"));
    return {{dt::formatDateTime(start), dt::formatDateTime(end)}, {start, end}};
}

int RecordsPage::selectedPlan(data::Table& plans) const {
    const int r = planGrid()->dataRowOf(planGrid()->selectedRow());
    if (!plans.active() || r < 1) return -1;
    plans.first();
    plans.moveBy(r - 1);
    return plans.isEmpty() ? -1 : plans.integer(QStringLiteral("APPTID"));
}

void RecordsPage::addPlan() {
    openWizard(false, -1);
}

void RecordsPage::editPlan() {
    const int id = selectedPlan(planCursor());
    if (id >= 0) openWizard(true, id);
}

void RecordsPage::removePlan(const QString& question) {
    if (!Messages::confirm(m_host.window, question)) return;
    const int id = selectedPlan(planCursor());
    if (id < 0) return;
    data::removePlan(m_host.ctx.db, id);
    afterPlanChange();
}

void RecordsPage::afterPlanChange() {
    m_host.plansChanged({&planCursor(), &m_host.c().tbnotif},
                        [this] { rowChanging(listGrid()->selectedRow()); });
}

void RecordsPage::showRowAfterChange(int shownRow) {
    reloadList();
    listGrid()->selectShownRow(shownRow);
    rowChanging(listGrid()->selectedRow());
}

void RecordsPage::afterRemoval(std::initializer_list<data::Table*> reopened) {
    m_host.plansChanged(reopened, [this] {
        reloadList();
        listGrid()->selectShownRow(1);
        rowChanging(1);
    });
}

} // namespace vantrel
