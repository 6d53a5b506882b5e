#pragma once
// The read-only details of the selected doctor or medicine: captions on the left, values on the
// right, long texts in borderless memos below their caption.
#include <QMap>
#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;
class QPlainTextEdit;

namespace vantrel {

class DetailsForm {
public:
    explicit DetailsForm(QWidget* content);
    QLabel* addLine(const QString& caption, const QString& name);
    // A second caption and value on the line added last.
    QLabel* addBeside(const QString& caption, const QString& name);
    QPlainTextEdit* addMemo(const QString& caption, const QString& name);
    // Values by object name; missing names show empty.
    void show(const QMap<QString, QString>& values);
    void clear() { show({}); }

private:
    QLabel* addPair(const QString& caption, const QString& name, int row, int column);

    QGridLayout* m_grid;
    QMap<QString, QLabel*> m_lines;
    QMap<QString, QPlainTextEdit*> m_memos;
    int m_row = 0;
};

} // namespace vantrel
