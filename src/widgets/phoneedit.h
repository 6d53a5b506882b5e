#pragma once
// A phone number field: free text, or the U.S. form "(555) 123-4567" where the three digits of
// the area code may be left out and the seven others are required.
#include <QLineEdit>

namespace vantrel {

class PhoneEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PhoneEdit(QWidget* parent = nullptr);

    void setUsFormat(bool on);
    bool usFormat() const { return m_us; }
    // What is stored: the number with its literal characters, or "" when nothing was typed.
    QString storedText() const;
    void setStoredText(const QString& text);
    // Nothing typed, or a number the format accepts.
    bool isComplete() const;

signals:
    // The user left the field with a number the format does not accept.
    void leftIncomplete();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool isBlank() const;

    bool m_us = false;
    QString m_valueAtEntry;
    bool m_sentBack = false; // left incomplete and sent back: the value to abandon to stays
};

} // namespace vantrel
