#pragma once
// The main window's geometry at start, from the stored layout and the screen's size.
#include "core/settings.h"

#include <QRect>
#include <QSize>

namespace vantrel {

struct RestoredGeometry {
    bool maximized = false;
    QRect normal; // left, top, width, height of the normal state
};

RestoredGeometry restoreGeometry(const Settings& s, const QSize& screen);

} // namespace vantrel
