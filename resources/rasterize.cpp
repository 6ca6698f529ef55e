// Build step: draws an SVG icon into PNG files, so the program loads plain
// images at start-up instead of parsing and rendering SVG.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

// usage: cofra_rasterize <icon.svg> <size> <out.png> [<size> <out.png> ...]
// A size is "N" for a square or "WxH".
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: cofra_rasterize <icon.svg> <size> <out.png> [...]\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "cofra_rasterize: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const QList<QByteArray> parts = QByteArray(argv[i]).split('x');
        const int width = parts.value(0).toInt();
        const int height = parts.size() > 1 ? parts[1].toInt() : width;
        if (width <= 0 || height <= 0) {
            std::fprintf(stderr, "cofra_rasterize: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "cofra_rasterize: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
