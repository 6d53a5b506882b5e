#pragma once
// The read-only list grid of the doctors and medicines pages: a title row, a narrow indicator
// column, whole-row selection, resizable columns, sorting by a clicked column title with a sort
// mark, and a map from each shown row to the row of the data it came from. Rows are numbered
// from 1 as the data rows they show; an empty list shows one empty row.
#include <QList>
#include <QStringList>
#include <QTableWidget>
#include <functional>

namespace vantrel {

class DataGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        QString field;
        int width;
    };

    explicit DataGrid(QWidget* parent = nullptr);

    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }

    // Replaces the rows (given in data order) and sorts them by the current sort settings. A cell
    // may carry a sort key (a number, such as a date-time) that orders it instead of its text.
    void loadRows(const QList<QStringList>& rows, const QList<QVariantList>& sortKeys = {});
    int shownRows() const { return rowCount(); }
    bool isEmptyList() const { return m_map.isEmpty(); }
    // The data row (1-based) behind a shown row, 0 for the empty row or a row out of range.
    int dataRowOf(int shownRow) const;
    QString cell(int shownRow, int column) const;

    // The selected shown row, 1-based; selecting from code does not ask the row-change handler.
    int selectedRow() const;
    void selectShownRow(int shownRow);

    void sortBy(int column, Qt::SortOrder order);
    void resort() { sortBy(m_sortColumn, m_sortOrder); }
    void resetSortColumn() { m_sortColumn = 0; }
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Asked before the user's selection moves to another row; false keeps the old row.
    std::function<bool(int newRow)> onRowChanging;

    // Clicks as a person makes them, for the tests.
    void clickHeader(int column);
    // The tooltip of a cell: its whole text when the column cuts it, else nothing.
    QString toolTipFor(int shownRow, int column) const;

signals:
    void clickSort(int column);
    void dblClickCell(int row, int column);

protected:
    bool viewportEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void onCurrentCellChanged(int row, int column, int oldRow, int oldColumn);
    // Each column starts at its given width and grows to its widest value while the grid has
    // room for all of them; the last one takes what room is left.
    void fitColumns();

    QList<Column> m_columns;
    QList<int> m_map; // shown row - 1 -> data row (1-based)
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_quiet = false;
};

} // namespace vantrel
