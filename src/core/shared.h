#pragma once
// Small routines shared by the whole program.
#include <QString>
#include <QStringList>

namespace vantrel {

// Splits a ";"-separated list into pieces trimmed of surrounding blanks. An empty text gives
// one empty piece; two separators in a row give an empty piece between them.
void SplitList(const QString& text, QStringList& target, int& count);

// Deletes the plain files in the folder; subfolders and hidden files stay, errors are ignored.
void ClearTempFolder(const QString& folder);

void TrimWorkingSet();
bool IsNTPlatform();
QString GetOSName();
QString GetWindowsDir();

// A text as a window shows it: cut to `limit` characters, with an ellipsis where it was cut. The
// whole text stays where it is kept (the table, the e-mail); a megabyte on one line would freeze
// any label or list that tried to lay it out.
QString displayText(const QString& text, int limit);
constexpr int kShortDisplay = 200; // names, list cells, calendar items
constexpr int kLongDisplay = 2000; // a reminder's message, comments

// True when one of the arguments is "startup" in any letter case.
bool hasStartupArgument(const QStringList& arguments);

} // namespace vantrel
