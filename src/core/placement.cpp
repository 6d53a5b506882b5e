#include "core/placement.h"

#include <algorithm>

namespace vantrel {

QPoint centredPlacement(const QRect& m, const QSize& d, const QSize& screen) {
    const int left = m.left() + m.width() / 2 + d.width() / 2 < screen.width()
                         ? m.left() + m.width() / 2 - d.width() / 2 + 10
                         : m.left() + 10;
    const int top = m.top() + m.height() / 2 + d.height() / 2 < screen.height()
                        ? m.top() + m.height() / 2 - d.height() / 2
                        : m.top();
    return {left, top};
}

QPoint smallDialogPlacement(const QRect& m, const QSize& d, const QSize& screen) {
    const int left = m.left() + m.width() / 2 + d.width() / 2 < screen.width() && d.width() < m.width()
                         ? m.left() + m.width() / 2 - d.width() / 2 + 10
                         : m.left() + 10;
    const int top = m.top() + m.height() / 2 + d.height() / 2 < screen.height() && d.height() < m.height()
                        ? m.top() + m.height() / 2 - d.height() / 2
                        : m.top() + 10;
    return {left, top};
}

QPoint keepInside(const QRect& frame, const QRect& available) {
    QPoint p = frame.topLeft();
    if (p.x() + frame.width() > available.right() + 1) p.setX(available.right() + 1 - frame.width());
    if (p.y() + frame.height() > available.bottom() + 1) p.setY(available.bottom() + 1 - frame.height());
    p.setX(std::max(p.x(), available.left()));
    p.setY(std::max(p.y(), available.top()));
    return p;
}

} // namespace vantrel
