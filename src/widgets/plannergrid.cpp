#include "widgets/plannergrid.h"

#include "core/datetime.h"
#include "core/plannerlayout.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {
const QColor kSilver(192, 192, 192);
const QColor kLines(210, 210, 210);
constexpr int kActiveFrom = 8 * 60, kActiveTo = 17 * 60;
constexpr int kItemGap = 11;
constexpr int kMinItemWidth = 36;
constexpr int kTrack = 6;

QString hourText(int hour) {
    const int h = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(h);
}
} // namespace

// The captions over the day columns.
class PlannerGrid::Header : public QWidget {
public:
    explicit Header(PlannerGrid* grid) : QWidget(grid), m_grid(grid) { setFixedHeight(kHeader); }
    static QFont captionFont(const QFont& base) {
        QFont f = base;
        f.setPointSizeF(f.pointSizeF() * 0.85);
        return f;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        p.setFont(captionFont(font()));
        // The header starts where the day columns start, beside the navigation buttons.
        const int columns = std::max(1, m_grid->m_days);
        const int width = m_grid->columnWidth();
        for (int c = 0; c < columns; ++c) {
            const QRect r(c * width, 0, width, height());
            p.setPen(kLines);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(palette().color(QPalette::ButtonText));
            p.drawText(r, Qt::AlignCenter, m_grid->shownCaption(c));
        }
    }

private:
    PlannerGrid* m_grid;
};

// The day itself: hours, rows and items.
class PlannerGrid::Canvas : public QWidget {
public:
    explicit Canvas(PlannerGrid* grid) : QWidget(grid), m_grid(grid) {}

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        const PlannerGrid& g = *m_grid;
        const int columns = std::max(1, g.m_days);
        const int width = (this->width() - kTimeColumn) / columns;
        const auto y = [&](double minutes) {
            return calendar::yForMinutes(minutes, g.m_precision, g.m_rowHeight);
        };
        p.fillRect(e->rect(), kSilver);
        p.fillRect(QRect(kTimeColumn, y(kActiveFrom), width * columns, y(kActiveTo) - y(kActiveFrom)),
                   Qt::white);
        p.fillRect(QRect(0, 0, kTimeColumn, height()), palette().color(QPalette::Button));
        const QFont itemFont = font();
        QFont hourFont = font(), amFont = font();
        hourFont.setBold(true);
        amFont.setPointSizeF(font().pointSizeF() * 0.7);
        for (int m = 0; m < 24 * 60; m += g.m_precision) {
            p.setPen(kLines);
            p.drawLine(kTimeColumn, y(m), kTimeColumn + width * columns, y(m));
            if (m % 60 == 0) {
                // The hour, with AM or PM under it.
                p.setPen(palette().color(QPalette::ButtonText));
                const QRect hour(0, y(m) + 1, kTimeColumn - 4, 14);
                p.setFont(hourFont);
                p.drawText(hour, Qt::AlignRight | Qt::AlignTop, hourText(m / 60));
                p.setFont(amFont);
                p.drawText(hour.translated(0, 13), Qt::AlignRight | Qt::AlignTop,
                           m / 60 < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
            }
        }
        p.setFont(itemFont);
        for (int c = 0; c <= columns; ++c) {
            p.setPen(kLines);
            p.drawLine(kTimeColumn + c * width, 0, kTimeColumn + c * width, height());
        }
        for (const auto& [r, item] : g.placedItems()) {
            p.fillRect(r, Qt::white);
            p.setPen(QColor(128, 128, 128));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.fillRect(QRect(r.left() + 1, r.top() + 1, kTrack, r.height() - 2), item->track);
            p.setPen(Qt::black);
            p.drawText(r.adjusted(kTrack + 4, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       item->subject);
        }
    }

    bool event(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(e);
            const QString tip = m_grid->toolTipAt(help->pos());
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, this);
            return true;
        }
        return QWidget::event(e);
    }

private:
    PlannerGrid* m_grid;
};

PlannerGrid::PlannerGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DBPlanner1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    m_prev = new QToolButton(this);
    m_prev->setObjectName(QStringLiteral("plannerPrev"));
    m_prev->setArrowType(Qt::LeftArrow);
    m_prev->setFixedSize(kTimeColumn / 2, kHeader);
    m_next = new QToolButton(this);
    m_next->setObjectName(QStringLiteral("plannerNext"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setFixedSize(kTimeColumn / 2, kHeader);
    m_header = new Header(this);
    top->addWidget(m_prev);
    top->addWidget(m_next);
    top->addWidget(m_header, 1);
    layout->addLayout(top);
    // The header's own first column lies under the two buttons.
    top->setStretch(2, 1);
    m_canvas = new Canvas(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_scroll, 1);
    connect(m_prev, &QToolButton::clicked, this, &PlannerGrid::previous);
    connect(m_next, &QToolButton::clicked, this, &PlannerGrid::next);
    m_canvas->setMinimumHeight(dayHeight());
    scrollToMinutes(8 * 60);
}

int PlannerGrid::columnWidth() const {
    return (m_scroll->viewport()->width() - kTimeColumn) / std::max(1, m_days);
}

QWidget* PlannerGrid::canvas() const {
    return m_canvas;
}

QString PlannerGrid::shownCaption(int column) const {
    const QString whole = m_captions.value(column + 1);
    const QFontMetrics metrics(Header::captionFont(m_header->font()));
    const int room = columnWidth() - 4;
    if (metrics.horizontalAdvance(whole) <= room) return whole;
    // Shorter forms of the same day: "Thu 12/10", then "12/10".
    const QDate day = dt::toQDateTime(std::floor(m_firstDay) + column).date();
    const QString shorter = QLocale::c().toString(day, QStringLiteral("ddd M/d"));
    if (metrics.horizontalAdvance(shorter) <= room) return shorter;
    return QLocale::c().toString(day, QStringLiteral("M/d"));
}

QList<QPair<QRect, const PlannerItem*>> PlannerGrid::placedItems() const {
    QList<QPair<QRect, const PlannerItem*>> out;
    const int columns = std::max(1, m_days);
    const int width = (m_canvas->width() - kTimeColumn) / columns;
    const auto y = [&](double minutes) { return calendar::yForMinutes(minutes, m_precision, m_rowHeight); };
    // In each day column, side by side where they overlap; items too many for their room stand
    // over one another, each wide enough to be seen, and show all in their tooltips.
    for (int c = 0; c < columns; ++c) {
        const double day = std::floor(m_firstDay) + c;
        QList<calendar::Span> spans;
        QList<const PlannerItem*> shown;
        for (const PlannerItem& it : m_items) {
            // An item that runs past midnight is drawn to the end of its day and on into the next.
            const double from = std::max(it.start, day), to = std::min(it.end, day + 1);
            if (to <= from && !(it.start == it.end && std::floor(it.start) == day)) continue;
            spans.append({from, std::max(to, from + dt::kMinute)});
            shown.append(&it);
        }
        const QList<calendar::Placement> places = calendar::placeSideBySide(spans);
        const int room = width - kItemGap;
        for (int i = 0; i < shown.size(); ++i) {
            const int lanes = std::max(1, places[i].lanes);
            int laneWidth = room / lanes, step = laneWidth;
            if (laneWidth < kMinItemWidth && lanes > 1) {
                laneWidth = std::min(kMinItemWidth, room);
                step = (room - laneWidth) / (lanes - 1);
            }
            const int top = y((spans[i].start - day) * 1440), bottom = y((spans[i].end - day) * 1440);
            out.append({QRect(kTimeColumn + c * width + 1 + places[i].lane * step, top, laneWidth - 1,
                              std::max(bottom - top, 12)),
                        shown[i]});
        }
    }
    return out;
}

QString PlannerGrid::toolTipAt(const QPoint& canvasPoint) const {
    QString tip;
    // The last drawn is on top.
    for (const auto& [r, item] : placedItems())
        if (r.contains(canvasPoint)) tip = item->toolTip.isEmpty() ? item->subject : item->toolTip;
    return tip;
}

int PlannerGrid::dayHeight() const {
    return calendar::yForMinutes(24 * 60, m_precision, m_rowHeight) + 1;
}

void PlannerGrid::setFirstDay(double day) {
    m_firstDay = std::floor(day);
    m_canvas->update();
}

void PlannerGrid::setDayCount(int days) {
    m_days = days;
    m_header->update();
    m_canvas->update();
}

void PlannerGrid::setPrecision(int minutes, int rowHeight) {
    const double top = topMinutes();
    m_precision = minutes;
    m_rowHeight = rowHeight;
    m_canvas->setMinimumHeight(dayHeight());
    m_canvas->resize(m_canvas->width(), dayHeight());
    scrollToMinutes(top);
    m_canvas->update();
}

void PlannerGrid::setCaptions(const QStringList& captions) {
    m_captions = captions;
    m_header->update();
}

void PlannerGrid::setItems(const QList<PlannerItem>& items) {
    m_items = items;
    m_canvas->update();
}

QList<PlannerItem> PlannerGrid::visibleItems() const {
    QList<PlannerItem> out;
    for (const PlannerItem& it : m_items)
        if (it.end > m_firstDay && it.start < m_firstDay + m_days) out << it;
    return out;
}

double PlannerGrid::topMinutes() const {
    return static_cast<double>(m_scroll->verticalScrollBar()->value()) / m_rowHeight * m_precision;
}

void PlannerGrid::scrollToMinutes(double minutes) {
    m_scroll->verticalScrollBar()->setRange(0, std::max(0, dayHeight() - m_scroll->viewport()->height()));
    m_scroll->verticalScrollBar()->setValue(calendar::yForMinutes(minutes, m_precision, m_rowHeight));
}

void PlannerGrid::next() {
    setFirstDay(m_firstDay + 1);
    emit plannerNext();
}

void PlannerGrid::previous() {
    setFirstDay(m_firstDay - 1);
    emit plannerPrev();
}

} // namespace vantrel
