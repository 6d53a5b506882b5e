// Build helper: renders the program's icon (an SVG file) as PNG files of the hicolor theme's
// sizes: makeicons ICON.svg OUTDIR writes OUTDIR/NxN/apps/vantrel-planner.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeicons ICON.svg OUTDIR\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "makeicons: %s is no SVG image\n", argv[1]);
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/vantrel-planner.png"))) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
