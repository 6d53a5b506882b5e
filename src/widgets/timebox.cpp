#include "widgets/timebox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolTip>

namespace vantrel {

TimeBox::TimeBox(const QTime& time, QWidget* parent) : QTimeEdit(time, parent) {}

QTime TimeBox::parse(const QString& text) {
    QString t = text.simplified().toUpper();
    t.replace(QStringLiteral(" AM"), QStringLiteral("AM"))
        .replace(QStringLiteral(" PM"), QStringLiteral("PM"));
    for (const char* form : {"h:mm:ssAP", "h:mmAP", "hAP", "H:mm:ss", "H:mm"}) {
        const QTime v = QLocale::c().toTime(t, QString::fromLatin1(form));
        if (v.isValid()) return v;
    }
    return {};
}

void TimeBox::keyPressEvent(QKeyEvent* e) {
    QLineEdit* edit = lineEdit();
    const QString text = e->text();
    const bool printable = !text.isEmpty() && text[0].isPrint();
    // Typing over the whole time starts a time typed whole; anything else is the box's own.
    if (!m_typing && printable && edit->hasSelectedText() && edit->selectedText() == edit->text()) {
        m_typing = true;
        m_typed.clear();
    }
    if (!m_typing) {
        QTimeEdit::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        finishTyping();
        e->accept();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        finishTyping();
        QTimeEdit::keyPressEvent(e);
        return;
    case Qt::Key_Escape:
        m_typing = false;
        edit->setText(textFromDateTime(dateTime()));
        e->accept();
        return;
    case Qt::Key_Backspace:
        m_typed.chop(1);
        break;
    default:
        if (printable) m_typed += text;
        break;
    }
    edit->setText(m_typed);
    e->accept();
}

void TimeBox::focusOutEvent(QFocusEvent* e) {
    if (m_typing) finishTyping();
    QTimeEdit::focusOutEvent(e);
}

void TimeBox::finishTyping() {
    m_typing = false;
    const QTime typed = parse(m_typed);
    if (typed.isValid()) {
        m_refusal.clear();
        setTime(typed);
    } else {
        m_refusal = QStringLiteral("\"%1\" is not a time. Type a time such as 9:30 AM.").arg(m_typed);
        QToolTip::showText(mapToGlobal(QPoint(0, height())), m_refusal, this);
    }
    lineEdit()->setText(textFromDateTime(dateTime()));
}

} // namespace vantrel
