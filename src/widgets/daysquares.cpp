#include "widgets/daysquares.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace vantrel {

DaySquares::DaySquares(QWidget* parent)
    : QWidget(parent), m_all(QColor(0x2e, 0x7d, 0x32)), m_some(QColor(0x9c, 0xcc, 0x65)),
      m_none(QColor(0xe5, 0x73, 0x73)), m_empty(QColor(0xf0, 0xf0, 0xf0)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void DaySquares::setDays(const QList<Day>& days) {
    m_days = days;
    updateGeometry();
    update();
}

void DaySquares::setColours(const QColor& all, const QColor& some, const QColor& none, const QColor& empty) {
    m_all = all;
    m_some = some;
    m_none = none;
    m_empty = empty;
    update();
}

QColor DaySquares::colourOf(Kind kind) const {
    switch (kind) {
    case Kind::AllTaken:
        return m_all;
    case Kind::SomeTaken:
        return m_some;
    case Kind::NoneTaken:
        return m_none;
    case Kind::NoDoses:
        break;
    }
    return m_empty;
}

// A week a row while the days are few; a long period fills the width.
int DaySquares::columns() const {
    const int fit = std::max(7, (width() + kGap) / (kSquare + kGap));
    return m_days.size() <= 31 ? 7 : std::max(7, fit - fit % 7);
}

QRect DaySquares::squareOf(int index) const {
    const int c = columns();
    return QRect((index % c) * (kSquare + kGap), (index / c) * (kSquare + kGap), kSquare, kSquare);
}

int DaySquares::dayAt(const QPoint& p) const {
    for (int i = 0; i < m_days.size(); ++i)
        if (squareOf(i).contains(p)) return i;
    return -1;
}

int DaySquares::heightForWidth(int width) const {
    const int fit = std::max(7, (width + kGap) / (kSquare + kGap));
    const int c = m_days.size() <= 31 ? 7 : std::max(7, fit - fit % 7);
    const int rows = std::max<int>(1, (m_days.size() + c - 1) / c);
    return rows * (kSquare + kGap);
}

QSize DaySquares::sizeHint() const {
    return QSize(7 * (kSquare + kGap), heightForWidth(std::max(width(), 7 * (kSquare + kGap))));
}

void DaySquares::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < m_days.size(); ++i) {
        const QRect r = squareOf(i);
        p.fillRect(r, colourOf(m_days[i].kind));
        p.setPen(colourOf(m_days[i].kind).darker(140));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (m_days[i].kind == Kind::NoneTaken) {
            // Not one taken: crossed, so it never passes for a day without doses.
            p.setPen(QPen(m_all, 1.5));
            p.drawLine(r.topLeft() + QPoint(3, 3), r.bottomRight() - QPoint(3, 3));
            p.drawLine(r.topRight() + QPoint(-3, 3), r.bottomLeft() + QPoint(3, -3));
        }
    }
}

bool DaySquares::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int i = dayAt(help->pos());
        if (i >= 0)
            QToolTip::showText(help->globalPos(), m_days[i].tooltip, this, squareOf(i));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

} // namespace vantrel
