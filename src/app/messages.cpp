#include "app/messages.h"

#include "core/context.h"
#include "core/settings.h"

#include <QList>
#include <QWidget>

namespace vantrel {

namespace {
// Messages shown while no Context exists (a widget tested on its own) are kept here.
TestHooks g_withoutContext;

TestHooks& hooks() {
    Context* ctx = Context::current();
    return ctx ? ctx->hooks : g_withoutContext;
}
} // namespace

void Messages::setTestMode(bool on) {
    hooks().answerMessages = on;
}
void Messages::setNextAnswer(QMessageBox::StandardButton answer) {
    hooks().answers.append(answer);
}
const QStringList& Messages::shown() {
    return hooks().shown;
}
void Messages::clearShown() {
    hooks().shown.clear();
}

QMessageBox::StandardButton Messages::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    TestHooks& h = hooks();
    h.shown.append(text);
    // A queued answer is only ever taken in test mode.
    if (h.answerMessages)
        return h.answers.isEmpty() ? defaultButton
                                   : static_cast<QMessageBox::StandardButton>(h.answers.takeFirst());
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
