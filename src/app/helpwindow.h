#pragma once
// The help pages in a window of the program's own, so help works offline and without a browser:
// back, forward and contents over a viewer of the pages in the help folder.
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

public slots:
    void showContents();

private:
    QString m_contents;
    QTextBrowser* m_browser;
    QPushButton *m_back, *m_forward, *m_home;
};

} // namespace vantrel
