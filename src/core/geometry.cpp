#include "core/geometry.h"

namespace vantrel {

RestoredGeometry restoreGeometry(const Settings& s, const QSize& screen) {
    RestoredGeometry g;
    g.maximized = s.Status != 0;
    // A window whose top-left quarter would lie off the screen goes to the corner.
    int left = 0, top = 0;
    if (s.Left + s.Width / 4 < screen.width() - 10 && s.Top + s.Height / 4 < screen.height() - 10) {
        left = s.Left > 0 ? s.Left : 0;
        top = s.Top > 0 ? s.Top : 0;
    }
    const int width = s.Width <= screen.width() - 25 ? s.Width : (screen.width() >= 800 ? 725 : 600);
    const int height = s.Height <= screen.height() - 25 ? s.Height : (screen.height() >= 600 ? 516 : 450);
    g.normal = QRect(left, top, width, height);
    return g;
}

} // namespace vantrel
