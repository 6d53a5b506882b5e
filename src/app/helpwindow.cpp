#include "app/helpwindow.h"

#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel {

TfrmHelp::TfrmHelp(const QString& contents, QWidget* parent)
    : QWidget(parent, Qt::Window), m_contents(contents) {
    setObjectName(QStringLiteral("TfrmHelp"));
    setWindowTitle(QStringLiteral("Vantrel Planner Help"));
    setWindowIcon(programIcon(QStringLiteral("planner")));
    resize(640, 520);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("Back"), this);
    m_back->setObjectName(QStringLiteral("btnHelpBack"));
    m_forward = new QPushButton(QStringLiteral("Forward"), this);
    m_forward->setObjectName(QStringLiteral("btnHelpForward"));
    m_home = new QPushButton(QStringLiteral("Contents"), this);
    m_home->setObjectName(QStringLiteral("btnHelpContents"));
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch(1);
    layout->addLayout(bar);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Pages of the help folder open here; addresses on the web go to the browser.
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser, 1);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QPushButton::clicked, this, &TfrmHelp::showContents);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Vantrel Planner Help")
                                                            : m_browser->documentTitle());
    });
    showContents();
}

void TfrmHelp::showContents() {
    m_browser->setSource(QUrl::fromLocalFile(m_contents));
}

void TfrmHelp::open(QPointer<TfrmHelp>& help, const QString& pagesDir, QWidget* parent) {
    const QString contents = pagesDir + QStringLiteral("help/index.html");
    if (!QFileInfo::exists(contents)) {
        Messages::warning(parent, QStringLiteral("The help pages cannot be found in \"%1\".")
                                      .arg(QDir::toNativeSeparators(QFileInfo(contents).path())));
        return;
    }
    if (!help) {
        help = new TfrmHelp(contents, parent);
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->showContents();
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace vantrel
