#pragma once
// Where dialogs open next to the main window. Integer division throughout.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantrel {

// Centred on the main window, 10 pixels right of centre, unless the dialog's right or lower
// half would leave the screen.
QPoint centredPlacement(const QRect& main, const QSize& dialog, const QSize& screen);
// The same for dialogs that may be larger than the main window.
QPoint smallDialogPlacement(const QRect& main, const QSize& dialog, const QSize& screen);

// Where a window (its frame) goes so that it lies inside the area the screen leaves to windows
// (no part under a task bar): moved in by what sticks out, its top-left kept inside first.
QPoint keepInside(const QRect& frame, const QRect& available);

} // namespace vantrel
