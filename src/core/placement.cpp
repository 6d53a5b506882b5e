#include "core/placement.h"

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

} // namespace vantrel
