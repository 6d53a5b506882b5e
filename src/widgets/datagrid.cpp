#include "widgets/datagrid.h"

#include "core/shared.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <numeric>

namespace vantrel {

DataGrid::DataGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::clickHeader);
    connect(this, &QTableWidget::currentCellChanged, this, &DataGrid::onCurrentCellChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { emit dblClickCell(row + 1, column + 1); });
    loadRows({});
}

void DataGrid::setColumns(const QList<Column>& columns) {
    m_columns = columns;
    setColumnCount(static_cast<int>(columns.size()));
    QStringList captions;
    for (const Column& c : columns)
        captions << c.caption;
    setHorizontalHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);
    loadRows({});
}

void DataGrid::loadRows(const QList<QStringList>& rows, const QList<QVariantList>& sortKeys) {
    const QSignalBlocker block(this);
    m_map.clear();
    clearContents();
    setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    for (int r = 0; r < rows.size(); ++r) {
        m_map << r + 1;
        for (int c = 0; c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem(displayText(rows[r].value(c), kShortDisplay));
            cell->setData(Qt::UserRole, sortKeys.value(r).value(c));
            setItem(r, c, cell);
        }
    }
    for (int r = 0; r < rowCount(); ++r)
        setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
    resort();
    fitColumns();
}

void DataGrid::fitColumns() {
    QList<int> widths;
    int total = 0;
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    for (int c = 0; c < columnCount(); ++c) {
        int w = m_columns.value(c).width;
        for (int r = 0; r < m_map.size(); ++r)
            if (const QTableWidgetItem* i = item(r, c))
                w = std::max(w, fontMetrics().horizontalAdvance(i->text()) + padding);
        widths << w;
        total += w;
    }
    const bool room = total <= viewport()->width() || !isVisible();
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, room ? widths[c] : m_columns.value(c).width);
}

void DataGrid::resizeEvent(QResizeEvent* e) {
    QTableWidget::resizeEvent(e);
    fitColumns();
}

QString DataGrid::toolTipFor(int shownRow, int column) const {
    const QTableWidgetItem* i = item(shownRow - 1, column);
    if (!i || i->text().isEmpty()) return {};
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4;
    return fontMetrics().horizontalAdvance(i->text()) + padding > columnWidth(column) ? i->text() : QString();
}

bool DataGrid::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const QModelIndex index = indexAt(help->pos());
        const QString tip = index.isValid() ? toolTipFor(index.row() + 1, index.column()) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
        return true;
    }
    return QTableWidget::viewportEvent(e);
}

int DataGrid::dataRowOf(int shownRow) const {
    return shownRow >= 1 && shownRow <= m_map.size() ? m_map[shownRow - 1] : 0;
}

QString DataGrid::cell(int shownRow, int column) const {
    const QTableWidgetItem* i = item(shownRow - 1, column);
    return i ? i->text() : QString();
}

int DataGrid::selectedRow() const {
    return currentRow() < 0 ? 1 : currentRow() + 1;
}

void DataGrid::selectShownRow(int shownRow) {
    const QSignalBlocker block(this);
    if (m_map.isEmpty()) { // the empty row is there to be seen, not chosen
        setCurrentCell(-1, -1);
        clearSelection();
        return;
    }
    const int row = std::clamp(shownRow, 1, std::max(1, rowCount())) - 1;
    setCurrentCell(row, 0);
    QTableWidget::selectRow(row);
}

void DataGrid::sortBy(int column, Qt::SortOrder order) {
    m_sortColumn = std::clamp(column, 0, std::max(0, columnCount() - 1));
    m_sortOrder = order;
    horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
    if (m_map.size() < 2) return;
    // Read the rows, order them (a stable sort; by key where a cell has one, else by text with
    // letter case aside), and write them back.
    using Cell = std::pair<QString, QVariant>;
    QList<QList<Cell>> cells;
    for (int r = 0; r < rowCount(); ++r) {
        QList<Cell> row;
        for (int c = 0; c < columnCount(); ++c)
            row << Cell{item(r, c)->text(), item(r, c)->data(Qt::UserRole)};
        cells << row;
    }
    const auto compare = [](const Cell& a, const Cell& b) {
        if (a.second.isValid() && b.second.isValid()) {
            const double x = a.second.toDouble(), y = b.second.toDouble();
            return x < y ? -1 : x > y ? 1 : 0;
        }
        return a.first.compare(b.first, Qt::CaseInsensitive);
    };
    QList<int> sorted(cells.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const int cmp = compare(cells[a][m_sortColumn], cells[b][m_sortColumn]);
        return m_sortOrder == Qt::AscendingOrder ? cmp < 0 : cmp > 0;
    });
    const QList<int> oldMap = m_map;
    const QSignalBlocker block(this);
    for (int r = 0; r < sorted.size(); ++r) {
        m_map[r] = oldMap[sorted[r]];
        for (int c = 0; c < columnCount(); ++c) {
            item(r, c)->setText(cells[sorted[r]][c].first);
            item(r, c)->setData(Qt::UserRole, cells[sorted[r]][c].second);
        }
    }
}

void DataGrid::clickHeader(int column) {
    const Qt::SortOrder order = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    const int selected = selectedRow();
    sortBy(column, order);
    selectShownRow(selected); // the highlight stays on the row number; the handler follows it
    emit clickSort(column);
}

void DataGrid::onCurrentCellChanged(int row, int, int oldRow, int) {
    if (m_quiet || row == oldRow || row < 0) return;
    if (onRowChanging && !onRowChanging(row + 1)) {
        m_quiet = true;
        setCurrentCell(std::max(oldRow, 0), 0);
        m_quiet = false;
    }
}

} // namespace vantrel
