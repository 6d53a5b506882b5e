#pragma once
// The read-only list grid of the doctors and medicines pages.
#include <QTableWidget>

namespace vantrel {

class DataGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
};

} // namespace vantrel
