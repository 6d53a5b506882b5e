#pragma once
// A picture of a period: one small square a day, in rows of a week, coloured by how many of the
// day's doses were taken; each square's tooltip says the day's doses.
#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QWidget>

namespace vantrel {

class DaySquares : public QWidget {
    Q_OBJECT
public:
    enum class Kind { NoDoses, NoneTaken, SomeTaken, AllTaken };
    struct Day {
        QDate date;
        Kind kind = Kind::NoDoses;
        QString tooltip;
    };

    explicit DaySquares(QWidget* parent = nullptr);

    void setDays(const QList<Day>& days);
    const QList<Day>& days() const { return m_days; }
    // The colours of the kinds, from the colour scheme of the page.
    void setColours(const QColor& all, const QColor& some, const QColor& none, const QColor& empty);
    QColor colourOf(Kind kind) const;
    // The day under a point of the widget, -1 when none.
    int dayAt(const QPoint& p) const;
    QRect squareOf(int index) const;

    static constexpr int kSquare = 14;
    static constexpr int kGap = 3;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

private:
    int columns() const;

    QList<Day> m_days;
    QColor m_all, m_some, m_none, m_empty;
};

} // namespace vantrel
