#include "widgets/plannergrid.h"

#include "core/datetime.h"
#include "core/plannerlayout.h"

#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {
const QColor kSilver(192, 192, 192);
const QColor kLines(210, 210, 210);
constexpr int kActiveFrom = 8 * 60, kActiveTo = 17 * 60;
constexpr int kItemGap = 11;
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

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        p.setFont(f);
        // The header starts where the day columns start, beside the navigation buttons.
        const int columns = std::max(1, m_grid->m_days);
        const int width = (m_grid->m_scroll->viewport()->width() - kTimeColumn) / columns;
        for (int c = 0; c < columns; ++c) {
            const QRect r(c * width, 0, width, height());
            p.setPen(kLines);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(palette().color(QPalette::ButtonText));
            p.drawText(r, Qt::AlignCenter, m_grid->m_captions.value(c + 1));
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
        const auto y = [&](double minutes) { return calendar::yForMinutes(minutes, g.m_precision, g.m_rowHeight); };
        p.fillRect(e->rect(), kSilver);
        p.fillRect(QRect(kTimeColumn, y(kActiveFrom), width * columns, y(kActiveTo) - y(kActiveFrom)), Qt::white);
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
        // Items: in each day column, side by side where they overlap.
        for (int c = 0; c < columns; ++c) {
            const double day = std::floor(g.m_firstDay) + c;
            QList<calendar::Span> spans;
            QList<const PlannerItem*> shown;
            for (const PlannerItem& it : g.m_items) {
                // An item that runs past midnight is drawn to the end of its day and on into the next.
                const double from = std::max(it.start, day), to = std::min(it.end, day + 1);
                if (to <= from && !(it.start == it.end && std::floor(it.start) == day)) continue;
                spans.append({from, std::max(to, from + dt::kMinute)});
                shown.append(&it);
            }
            const QList<calendar::Placement> places = calendar::placeSideBySide(spans);
            for (int i = 0; i < shown.size(); ++i) {
                const int laneWidth = (width - kItemGap) / std::max(1, places[i].lanes);
                const int top = y((spans[i].start - day) * 1440), bottom = y((spans[i].end - day) * 1440);
                const QRect r(kTimeColumn + c * width + 1 + places[i].lane * laneWidth, top, laneWidth - 1,
                              std::max(bottom - top, 12));
                p.fillRect(r, Qt::white);
                p.setPen(QColor(128, 128, 128));
                p.drawRect(r.adjusted(0, 0, -1, -1));
                p.fillRect(QRect(r.left() + 1, r.top() + 1, kTrack, r.height() - 2), shown[i]->track);
                p.setPen(Qt::black);
                p.drawText(r.adjusted(kTrack + 4, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                           shown[i]->subject);
            }
        }
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
