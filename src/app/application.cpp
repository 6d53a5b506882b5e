#include "app/application.h"

#include "base/errors.h"
#include "ui/messages.h"

#include <exception>

namespace vantrel {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Messages::error(activeWindow(), errorText(e));
    } catch (...) {
        Messages::error(activeWindow(), QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

} // namespace vantrel
