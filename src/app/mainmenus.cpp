#include "app/mainmenus.h"

#include "app/mainwindow.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace vantrel {

QAction* MainMenus::build(TfrmMain& window) {
    TfrmMain* w = &window;
    auto add = [w](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, w, slot);
        return a;
    };
    auto link = [w](QMenu* menu, const char* name, const QString& text, const QString& url) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, w, [w, url] { ShellOpen(url, w); });
    };
    QMenu* file = w->menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "ExportCalendar1", QStringLiteral("Export Calendar..."), &TfrmMain::ExportCalendar1Click);
    add(file, "ImportCalendar1", QStringLiteral("Import Calendar..."), &TfrmMain::ImportCalendar1Click);
    file->addSeparator();
    add(file, "PrintMedicineList1", QStringLiteral("Print Medicine List..."), &TfrmMain::PrintMedicineList1Click);
    add(file, "SaveAsPdf1", QStringLiteral("Save as PDF..."), &TfrmMain::SaveAsPdf1Click);
    file->addSeparator();
    add(file, "Exit1", QStringLiteral("&Close"), &TfrmMain::Exit1Click);
    // Without a notification area, closing only minimises: the program is ended from here.
    QAction* fileExit = add(file, "ExitVantrelPlanner2", QStringLiteral("E&xit Vantrel Planner"),
                            &TfrmMain::ExitVantrelPlanner1Click);
    fileExit->setVisible(false);

    QMenu* options = w->menuBar()->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QMenu* schemes = options->addMenu(QStringLiteral("Color Scheme"));
    schemes->setObjectName(QStringLiteral("ColorScheme1"));
    add(schemes, "CoolBlue1", QStringLiteral("Cool Blue"), &TfrmMain::CoolBlue1Click);
    add(schemes, "GreenYellow1", QStringLiteral("Green/Yellow"), &TfrmMain::GreenYellow1Click);
    add(schemes, "PastelDefault1", QStringLiteral("Pastel"), &TfrmMain::PastelDefault1Click);
    add(schemes, "PlainGrey1", QStringLiteral("Grey"), &TfrmMain::PlainGrey1Click);
    add(options, "emailSettings1", QStringLiteral("email Settings"), &TfrmMain::emailSettings1Click);
    add(options, "AdditionalOptions1", QStringLiteral("Additional Options..."),
        &TfrmMain::AdditionalOptions1Click);
    options->addSeparator();
    add(options, "ViewStartupPage1", QStringLiteral("View Welcome Page"), &TfrmMain::ViewStartupPage1Click);

    QMenu* links = w->menuBar()->addMenu(QStringLiteral("Links"));
    links->setObjectName(QStringLiteral("Links1"));
    link(links, "OnlineSupport1", QStringLiteral("Online Support..."), kSupportUrl);
    link(links, "OnlineForums1", QStringLiteral("Online Forums..."), kForumsUrl);
    links->addSeparator();
    link(links, "PembraHomePage1", QStringLiteral("Pembra Software Home Page"), kMakerUrl);
    link(links, "VantrelHomePage1", QStringLiteral("Vantrel Home Page"), kProductUrl);

    QMenu* help = w->menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    add(help, "Contents1", QStringLiteral("Contents"), &TfrmMain::Contents1Click);
    help->addSeparator();
    add(help, "About1", QStringLiteral("About"), &TfrmMain::About1Click);
    return fileExit;
}

} // namespace vantrel
