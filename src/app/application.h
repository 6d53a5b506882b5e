#pragma once
#include <QApplication>

namespace vantrel {

// Shows the text of any error that escapes an event handler and lets the program go on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace vantrel
