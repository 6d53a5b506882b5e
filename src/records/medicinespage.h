#pragma once
// The medicines page: the current profile's medicines, the dosings of the selected medicine, and
// the selected medicine's details.
#include "widgets/listsection.h"

#include <QWidget>

namespace vantrel {

class MedicinesPage : public QWidget {
    Q_OBJECT
public:
    explicit MedicinesPage(QWidget* parent = nullptr);
    QWidget* listPanel() const { return m_page.upper.panel; }   // Panel32
    QWidget* dosingPanel() const { return m_page.lower.panel; } // Panel13
    void setPanelHeights(int list, int dosings) { setListHeights(m_page, list, dosings); }

private:
    TwoListPage m_page;
};

} // namespace vantrel
