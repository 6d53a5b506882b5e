#include "widgets/phoneedit.h"

#include <QKeyEvent>
#include <QTimer>

namespace vantrel {

namespace {
// "0" is an optional digit and "9" a required one; "_" shows the places not yet typed.
const QString kUsMask = QStringLiteral("(000) 999-9999;_");
} // namespace

PhoneEdit::PhoneEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(15);
}

void PhoneEdit::setUsFormat(bool on) {
    const QString kept = storedText();
    m_us = on;
    setInputMask(on ? kUsMask : QString());
    if (!on) setMaxLength(15);
    setStoredText(kept);
}

bool PhoneEdit::isBlank() const {
    for (const QChar c : displayText())
        if (c.isDigit()) return false;
    return true;
}

QString PhoneEdit::storedText() const {
    if (!m_us) return text();
    if (isBlank()) return QString();
    QString shown = displayText();
    shown.replace(QLatin1Char('_'), QLatin1Char(' '));
    return shown;
}

// A stored number, literals and all, fills the template as it stands.
void PhoneEdit::setStoredText(const QString& value) {
    setText(value);
}

bool PhoneEdit::isComplete() const {
    return !m_us || isBlank() || hasAcceptableInput();
}

void PhoneEdit::focusInEvent(QFocusEvent* e) {
    if (!m_sentBack) m_valueAtEntry = storedText();
    QLineEdit::focusInEvent(e);
    // An empty template is typed from its first place, wherever the click landed.
    if (m_us && isBlank()) QTimer::singleShot(0, this, [this] { setCursorPosition(0); });
}

void PhoneEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Only the user leaving the field counts; a message box or another window taking the focus
    // (the warning itself among them) does not.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    m_sentBack = !isComplete();
    if (m_sentBack) emit leftIncomplete();
}

void PhoneEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && (isModified() || m_sentBack)) {
        // Escape abandons what was typed since the field was entered.
        setStoredText(m_valueAtEntry);
        setModified(false);
        m_sentBack = false;
        return;
    }
    QLineEdit::keyPressEvent(e);
}

} // namespace vantrel
