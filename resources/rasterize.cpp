// Build step: draws an SVG icon into raw pixel files (".argb": width and height
// as two little-endian 32-bit numbers, then premultiplied ARGB pixels), so the
// program shows its icons without parsing SVG or decoding any image format.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <cstdio>

// usage: cofra_rasterize <icon.svg> <size> <out.argb> [<size> <out.argb> ...]
// A size is "N" for a square or "WxH".
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: cofra_rasterize <icon.svg> <size> <out.argb> [...]\n");
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
        QFile out(QString::fromLocal8Bit(argv[i + 1]));
        const quint32 header[2] = {qToLittleEndian(quint32(width)), qToLittleEndian(quint32(height))};
        const bool written =
            out.open(QIODevice::WriteOnly) &&
            out.write(reinterpret_cast<const char*>(header), sizeof header) == sizeof header &&
            out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) ==
                image.sizeInBytes();
        if (!written) {
            std::fprintf(stderr, "cofra_rasterize: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
