// The yardstick of the start-up bench: the least a program like the planner must do. A Qt
// Widgets main window, an icon in the notification area and a one-second timer, and nothing
// else.
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Planner"));
    window.resize(820, 620);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start();
    window.show();
    return app.exec();
}
