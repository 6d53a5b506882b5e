#pragma once
// The help pages in a window of the program's own, so help works offline and without a browser:
// back, forward and contents over a viewer of the pages in the help folder.
#include <QPointer>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace vantrel {

class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    // `contents` is the first page, help/index.html below the program's folder.
    explicit TfrmHelp(const QString& contents, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }

    // Shows the contents in the window `help` (made when it is null), brought to the front; or,
    // where the program's help pages are missing, says so over `parent`.
    static void open(QPointer<TfrmHelp>& help, const QString& pagesDir, QWidget* parent);

public slots:
    void showContents();

private:
    QString m_contents;
    QTextBrowser* m_browser;
    QPushButton *m_back, *m_forward, *m_home;
};

} // namespace vantrel
