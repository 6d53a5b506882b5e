#pragma once
// A time box that also takes a time typed whole: with all of its text selected, "9:30 AM",
// "4:05 pm" or "14:45" replace the time when Enter is pressed or the box is left. What is no time
// is refused where it can be seen: the box keeps its time and says how to type one. Typing into
// one part of the time (the hour, the minutes) works as in any time box.
#include <QTimeEdit>

namespace vantrel {

class TimeBox : public QTimeEdit {
    Q_OBJECT
public:
    explicit TimeBox(const QTime& time, QWidget* parent = nullptr);

    // The time in a typed text, or an invalid time when it holds none.
    static QTime parse(const QString& text);
    // What was said about the last text refused, empty when the last one was taken.
    QString refusal() const { return m_refusal; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void finishTyping();

    bool m_typing = false;
    QString m_typed;
    QString m_refusal;
};

} // namespace vantrel
