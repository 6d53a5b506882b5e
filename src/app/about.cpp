#include "app/about.h"

#include "base/version.h"
#include "ui/dialogs.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {
QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

TfrmAbout2::TfrmAbout2(QWidget* mainWindow) : QDialog(mainWindow) {
    makeFixedDialog(this, "TfrmAbout2", QStringLiteral("About Vantrel Planner"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    auto* name = new QLabel(QStringLiteral("Vantrel Planner"), this);
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);
    f.setBold(true);
    name->setFont(f);
    name->setStyleSheet(QStringLiteral("color: navy;"));
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VANTREL_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(programIcon(QStringLiteral("planner")).pixmap(48, 48));
    picture->setFixedSize(48, 48);
    top->addWidget(name, 0, 0);
    top->addWidget(version, 1, 0);
    top->addWidget(picture, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignTop);
    layout->addLayout(top);
    layout->addWidget(separator(this));
    layout->addWidget(new QLabel(QStringLiteral("For the latest product information, please visit:"), this));
    auto* link =
        new QLabel(QStringLiteral("<a href=\"%1\" style=\"color: navy;\">%1</a>").arg(kProductUrl), this);
    link->setObjectName(QStringLiteral("Label2"));
    link->setCursor(Qt::PointingHandCursor);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(link, &QLabel::linkActivated, this, &TfrmAbout2::Label2Click);
    layout->addWidget(link);
    layout->addWidget(separator(this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
    placeDialog(this, mainWindow, Placement::Centred);
}

void TfrmAbout2::Label2Click() {
    ShellOpen(kProductUrl, this);
}

} // namespace vantrel
