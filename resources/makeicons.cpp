// Build helper: renders an SVG image as PNG files of the given sizes, so the program shows its
// icons without loading an SVG renderer at start.
//   makeicons ICON.svg OUTPATTERN SIZE...
// OUTPATTERN names each file, with %1 for the size: "hicolor/%1x%1/apps/vantrel-planner.png".
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: makeicons ICON.svg OUTPATTERN SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "makeicons: %s is no SVG image\n", argv[1]);
        return 1;
    }
    const QString pattern = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "makeicons: %s is no size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString file = pattern.arg(size);
        if (!QDir().mkpath(QFileInfo(file).path()) || !image.save(file)) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
