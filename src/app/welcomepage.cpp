#include "app/welcomepage.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel {

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet4"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    html1 = new QTextBrowser(this);
    html1->setObjectName(QStringLiteral("html1"));
    html1->setOpenExternalLinks(true);
    QPalette p = html1->palette();
    p.setColor(QPalette::Base, Qt::white);
    html1->setPalette(p);
    html1->document()->setDefaultFont(QFont(QStringLiteral("Times New Roman")));
    layout->addWidget(html1);
}

void WelcomePage::load(const QString& pagesDir) {
    const QString page = pagesDir + QStringLiteral("web/index.html");
    if (QFileInfo::exists(page))
        html1->setSource(QUrl::fromLocalFile(page));
    else
        html1->clear();
}

} // namespace vantrel
