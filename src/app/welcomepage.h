#pragma once
// The welcome page: the program's own web/index.html in a viewer, white, in Times New Roman. A
// page that is missing leaves the viewer empty, without a message.
#include <QWidget>

class QTextBrowser;

namespace vantrel {

class WelcomePage : public QWidget {
    Q_OBJECT
public:
    explicit WelcomePage(QWidget* parent = nullptr);
    // Loads web/index.html below the program's folder (with its trailing separator).
    void load(const QString& pagesDir);

private:
    QTextBrowser* html1;
};

} // namespace vantrel
