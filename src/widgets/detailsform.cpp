#include "widgets/detailsform.h"

#include "core/shared.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace vantrel {

DetailsForm::DetailsForm(QWidget* content) {
    m_grid = new QGridLayout;
    m_grid->setContentsMargins(8, 4, 8, 4);
    m_grid->setHorizontalSpacing(12);
    // A second pair on a line stands close after the first value; the last column takes the rest.
    m_grid->setColumnMinimumWidth(1, 120);
    m_grid->setColumnStretch(3, 1);
    if (auto* box = qobject_cast<QBoxLayout*>(content->layout())) box->insertLayout(1, m_grid);
}

QLabel* DetailsForm::addPair(const QString& caption, const QString& name, int row, int column) {
    auto* parent = m_grid->parentWidget();
    auto* cap = new QLabel(caption, parent);
    cap->setStyleSheet(QStringLiteral("font-weight: bold;"));
    auto* value = new QLabel(parent);
    value->setObjectName(name);
    // What a person typed is shown as it was typed, never read as markup.
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_grid->addWidget(cap, row, column);
    m_grid->addWidget(value, row, column + 1);
    m_lines.insert(name, value);
    return value;
}

QLabel* DetailsForm::addLine(const QString& caption, const QString& name) {
    return addPair(caption, name, m_row++, 0);
}

QLabel* DetailsForm::addBeside(const QString& caption, const QString& name) {
    return addPair(caption, name, m_row - 1, 2);
}

QPlainTextEdit* DetailsForm::addMemo(const QString& caption, const QString& name) {
    auto* parent = m_grid->parentWidget();
    auto* cap = new QLabel(caption, parent);
    cap->setStyleSheet(QStringLiteral("font-weight: bold;"));
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setFixedHeight(60);
    memo->viewport()->setAutoFillBackground(false);
    m_grid->addWidget(cap, m_row++, 0, 1, 4);
    m_grid->addWidget(memo, m_row++, 0, 1, 4);
    m_memos.insert(name, memo);
    return memo;
}

void DetailsForm::show(const QMap<QString, QString>& values) {
    for (auto it = m_lines.begin(); it != m_lines.end(); ++it)
        it.value()->setText(displayText(values.value(it.key()), kShortDisplay));
    for (auto it = m_memos.begin(); it != m_memos.end(); ++it)
        it.value()->setPlainText(displayText(values.value(it.key()), kLongDisplay));
}

} // namespace vantrel
