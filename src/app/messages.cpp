#include "app/messages.h"

#include "core/settings.h"

#include <QList>
#include <QWidget>

namespace vantrel {

namespace {
bool g_testMode = false;
QList<QMessageBox::StandardButton> g_answers;
QStringList g_shown;
} // namespace

void Messages::setTestMode(bool on) {
    g_testMode = on;
}
void Messages::setNextAnswer(QMessageBox::StandardButton answer) {
    g_answers.append(answer);
}
const QStringList& Messages::shown() {
    return g_shown;
}
void Messages::clearShown() {
    g_shown.clear();
}

QMessageBox::StandardButton Messages::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    g_shown.append(text);
    if (g_testMode || !g_answers.isEmpty())
        return g_answers.isEmpty() ? defaultButton : g_answers.takeFirst();
    QMessageBox box(icon, QString::fromLatin1(kAppTitle), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    // The box opens at the top-left corner of the window that raised it.
    if (QWidget* w = parent ? parent->window() : nullptr; w && w->isVisible())
        box.move(w->frameGeometry().topLeft());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Messages::warning(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Messages::error(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Messages::info(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool Messages::confirm(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void Messages::question(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Question, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace vantrel
