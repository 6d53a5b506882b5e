#pragma once
// The day planner of the calendar page: one column per day under a header of captions, the day
// in rows of a few minutes beside a 12-hour time column, and read-only items with a coloured
// track bar. It draws what it is given; the page decides what that is.
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QScrollArea;
class QToolButton;

namespace vantrel {

struct PlannerItem {
    double start = 0;
    double end = 0;
    QString subject;
    QColor track;
    QString toolTip; // the whole of it: a narrow item shows little of its subject
};

class PlannerGrid : public QWidget {
    Q_OBJECT
public:
    explicit PlannerGrid(QWidget* parent = nullptr);

    void setFirstDay(double day);
    double firstDay() const { return m_firstDay; }
    void setDayCount(int days);
    int dayCount() const { return m_days; }
    // Rows of `minutes` each `rowHeight` pixels high; the time at the top of the view stays.
    void setPrecision(int minutes, int rowHeight);
    int precision() const { return m_precision; }
    int rowHeight() const { return m_rowHeight; }
    // The header's captions; the first belongs to the time column.
    void setCaptions(const QStringList& captions);
    QStringList captions() const { return m_captions; }
    void setItems(const QList<PlannerItem>& items);
    const QList<PlannerItem>& items() const { return m_items; }
    // The items drawn in the visible days, for tests and the page.
    QList<PlannerItem> visibleItems() const;
    // The time of day (minutes) at the top of the view.
    double topMinutes() const;
    // The tooltip of the item drawn at a point of the day area (the scrolled canvas), or empty.
    QString toolTipAt(const QPoint& canvasPoint) const;
    // The caption the header shows over a day column (0 the first): the whole one when it fits
    // the column, else a shorter form of the same day.
    QString shownCaption(int column) const;
    QWidget* canvas() const;
    void scrollToMinutes(double minutes);

    static constexpr int kTimeColumn = 40;
    static constexpr int kHeader = 16;

public slots:
    void next();
    void previous();

signals:
    // The first day has moved by one day; the page follows.
    void plannerNext();
    void plannerPrev();

private:
    class Canvas;
    class Header;
    int dayHeight() const;
    int columnWidth() const;
    // Where each item of the visible days is drawn.
    QList<QPair<QRect, const PlannerItem*>> placedItems() const;

    double m_firstDay = 0;
    int m_days = 1;
    int m_precision = 15;
    int m_rowHeight = 20;
    QStringList m_captions;
    QList<PlannerItem> m_items;
    Header* m_header;
    Canvas* m_canvas;
    QScrollArea* m_scroll;
    QToolButton *m_prev, *m_next;
};

} // namespace vantrel
