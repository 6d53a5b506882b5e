#pragma once
// The doctors page: the current profile's doctors, the appointments with the selected doctor,
// and the selected doctor's details.
#include "widgets/listsection.h"

#include <QWidget>

namespace vantrel {

class DoctorsPage : public QWidget {
    Q_OBJECT
public:
    explicit DoctorsPage(QWidget* parent = nullptr);
    QWidget* listPanel() const { return m_page.upper.panel; }        // Panel24
    QWidget* appointmentPanel() const { return m_page.lower.panel; } // Panel17
    void setPanelHeights(int list, int appointments) { setListHeights(m_page, list, appointments); }

private:
    TwoListPage m_page;
};

} // namespace vantrel
