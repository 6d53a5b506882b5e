#pragma once
// What every dialog and menu item of the program shares: placement next to the main window,
// and opening web pages.
#include <QString>
#include <Qt>
#include <functional>

class QBoxLayout;
class QIcon;
class QDialog;
class QPushButton;
class QWidget;

namespace vantrel {

enum class Placement { Centred, SmallDialog };

// A fixed-size window with a title and only a close box, carrying the program's icon; `extra`
// adds flags such as staying on top. makeFixedDialog also gives it its name and caption.
void setFixedDialogFlags(QWidget* window, Qt::WindowFlags extra = {});
void makeFixedDialog(QWidget* window, const char* name, const QString& caption, Qt::WindowFlags extra = {});

// Moves the dialog to its place beside the main window by one of the two rules.
void placeDialog(QWidget* dialog, const QWidget* mainWindow, Placement rule);

// Adds the row of buttons at the foot of a dialog: "OK" (the default), and "Cancel" when a
// name is given for it, which rejects the dialog. Returns the OK button.
QPushButton* addDialogButtons(QDialog* dialog, QBoxLayout* layout, const char* okName,
                              const char* cancelName = nullptr);

// The open-file dialog: the chosen file's full path, or empty on Cancel. In test mode the next
// queued file name answers instead.
QString openFileName(QWidget* parent, const QString& folder, const QString& filter);

// The save-file dialog, starting at the suggested path: the chosen path, or empty on Cancel (the
// dialog asks before a file is replaced). In test mode the next queued file name answers instead.
QString saveFileName(QWidget* parent, const QString& suggested, const QString& filter);

// One of the program's icons ("planner", "doctors", ...), from its PNG images at the sizes the
// windows show; from its SVG image where the build carries that instead.
QIcon programIcon(const QString& name);

// Opens a web page or file with the desktop; shows "Error starting player program." and gives
// -1 when that fails, else 0.
int ShellOpen(const QString& target, QWidget* parent = nullptr);

// The maker's web pages.
inline const QString kSupportUrl = QStringLiteral("https://www.pembra.example/support/");
inline const QString kForumsUrl = QStringLiteral("https://www.pembra.example/forums/");
inline const QString kMakerUrl = QStringLiteral("https://www.pembra.example/");
inline const QString kProductUrl = QStringLiteral("https://www.pembra.example/vantrel-planner/");

} // namespace vantrel
