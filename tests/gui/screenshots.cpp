// Saves pictures of the main window's pages and colour schemes, for a person to look at:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/vantrel_screenshots OUTDIR
#include "support/guifixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTimer>

using namespace vantrel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
    QDir().mkpath(out);
    test::MainWindowFixture f([](Settings& s) {
        s.Width = 820;
        s.Height = 620;
    });
    f.window->startShown(true);
    const auto snap = [&](const QString& name) {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        f.window->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    snap(QStringLiteral("welcome"));
    const char* pages[] = {"doctors", "medicines", "calendar"};
    for (int i = 0; i < 3; ++i) {
        f.window->dxSideBar1ItemClick(i);
        snap(QString::fromLatin1(pages[i]));
    }
    const char* schemes[] = {"PastelDefault1", "CoolBlue1", "GreenYellow1", "PlainGrey1"};
    for (const char* scheme : schemes) {
        f.find<QAction>(QString::fromLatin1(scheme))->trigger();
        f.window->dxSideBar1ItemClick(0);
        snap(QStringLiteral("scheme-%1-doctors").arg(QString::fromLatin1(scheme)));
        f.window->dxSideBar1ItemClick(1);
        snap(QStringLiteral("scheme-%1-medicines").arg(QString::fromLatin1(scheme)));
    }
    return 0;
}
