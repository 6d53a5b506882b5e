#include "ui/messages.h"

#include "core/settings.h"
#include "session/context.h"

#include <QList>
#include <QPointer>
#include <QTimer>
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
    box.setTextFormat(Qt::PlainText); // names and paths in a message are shown as they are
    box.setDefaultButton(defaultButton);
    placeAtCorner(&box, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox* Messages::errorWithoutWaiting(QWidget* parent, const QString& text) {
    return showWithoutWaiting(parent, QMessageBox::Critical, text);
}

QMessageBox* Messages::warningWithoutWaiting(QWidget* parent, const QString& text) {
    return showWithoutWaiting(parent, QMessageBox::Warning, text);
}

QMessageBox* Messages::showWithoutWaiting(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    TestHooks& h = hooks();
    h.shown.append(text);
    if (h.answerMessages) return nullptr;
    auto* box = new QMessageBox(icon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    placeAtCorner(box, parent);
    box->show();
    return box;
}

void Messages::placeAtCorner(QWidget* box, const QWidget* raiser) {
    const QWidget* w = raiser ? raiser->window() : nullptr;
    if (!w || !w->isVisible()) return;
    const QPoint corner = w->frameGeometry().topLeft();
    box->move(corner);
    // Until a window is on screen its frame is not known, and the window system puts the inside
    // of the box where its frame should be. Once shown, the box is moved by its own frame.
    QPointer<QWidget> guard(box);
    QTimer::singleShot(0, box, [guard, corner] {
        if (!guard) return;
        const QPoint off = corner - guard->frameGeometry().topLeft();
        if (!off.isNull()) guard->move(guard->pos() + off);
    });
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
