#pragma once
// The profile bar above the pages: the list of profiles and the buttons that add and remove
// one. It owns the profile switch and the first-profile dialog, and tells the window and the
// pages of every switch through profileChanged.
#include "ui/pagehost.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace vantrel {

class ProfileBar : public QWidget {
    Q_OBJECT
public:
    // `navigation` is the panel left of the pages; the add dialog places itself by its width.
    ProfileBar(PageHost& host, QWidget* navigation, QWidget* parent = nullptr);

    // The caption, list and buttons show on the pages and hide on the welcome page.
    void setControlsVisible(bool visible);
    QTimer* timerConfig() const { return TimerConfig; }

public slots:
    void LoadPatientList();
    // The first profile becomes current; with none, the first-profile dialog is asked for as
    // soon as the window has been shown.
    void selectFirstProfile();
    void cbPatientChange();
    void btnAddProfileClick();
    void btnRemoveProfileClick();
    void TimerConfigTimer();

signals:
    void profileChanged(int patientRef);

private:
    // The list is read again and the entry at `index` becomes the current profile.
    void reloadAndSelect(int index);

    PageHost& m_host;
    QWidget* m_navigation;
    QLabel* Label24;
    QComboBox* cbPatient;
    QPushButton* btnAddProfile;
    QPushButton* btnRemoveProfile;
    QTimer* TimerConfig;
    bool m_firstProfileAsked = false;
};

} // namespace vantrel
