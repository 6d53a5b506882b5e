#pragma once
#include <QDialog>

namespace vantrel {

class TfrmAbout2 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout2(QWidget* mainWindow);

public slots:
    void Label2Click();
};

} // namespace vantrel
