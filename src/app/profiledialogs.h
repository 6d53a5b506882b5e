#pragma once
// The two dialogs that create profiles: the first one, asked for when there is none, and any
// later one. Each writes the new patient row itself; the main window then switches to it.
#include <QDialog>

class QLineEdit;

namespace vantrel {

struct Context;

class TfrmFirstProfile : public QDialog {
    Q_OBJECT
public:
    TfrmFirstProfile(Context& ctx, QWidget* mainWindow);
    QString profileName() const;

public slots:
    void BitBtn1Click();
    void reject() override; // Escape does not dismiss it

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Context& m_ctx;
    QLineEdit* teName;
    bool m_done = false;
};

class TfrmAddProfile : public QDialog {
    Q_OBJECT
public:
    TfrmAddProfile(Context& ctx, QWidget* mainWindow, const QPoint& place);
    QString profileName() const;

public slots:
    void BitBtn1Click();

private:
    Context& m_ctx;
    QLineEdit* teProfileName;
};

// Writes a patient row and returns its key.
int addPatient(Context& ctx, const QString& name);

} // namespace vantrel
