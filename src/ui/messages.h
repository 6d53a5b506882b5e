#pragma once
// Every message box goes through here. Tests queue the answers and read back what was shown,
// so no test ever blocks on a box.
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace vantrel {

class Messages {
public:
    static void warning(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    static void info(QWidget* parent, const QString& text);
    // Question icon with "Yes" and "No"; true for "Yes".
    static bool confirm(QWidget* parent, const QString& text);
    // Question icon with "OK" only.
    static void question(QWidget* parent, const QString& text);
    // An error box that does not hold up its caller: shown, and the call returns at once. Its
    // box is returned (null in test mode) so the caller can keep other windows above it.
    static QMessageBox* errorWithoutWaiting(QWidget* parent, const QString& text);
    static QMessageBox* warningWithoutWaiting(QWidget* parent, const QString& text);

    // Places a box (or dialog) so that its frame's top-left corner is the raising window's.
    static void placeAtCorner(QWidget* box, const QWidget* raiser);

    // In test mode no box is shown: the queued answer (else the default button) is taken. All of
    // it belongs to the current Context's test hooks.
    static void setTestMode(bool on);
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static const QStringList& shown();
    static void clearShown();

private:
    static QMessageBox* showWithoutWaiting(QWidget* parent, QMessageBox::Icon icon, const QString& text);
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
};

} // namespace vantrel
