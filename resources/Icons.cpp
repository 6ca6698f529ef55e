#include "resources/Icons.h"

#include <QPixmap>
#include <QResource>
#include <QtEndian>

namespace resources {

QImage iconImage(const QString& name) {
    const QResource resource(QStringLiteral(":/icons/") + name + QStringLiteral(".argb"));
    if (!resource.isValid())
        return QImage();
    const QByteArray data = resource.uncompressedData();
    if (data.size() < 8)
        return QImage();
    const auto* header = reinterpret_cast<const uchar*>(data.constData());
    const int width = static_cast<int>(qFromLittleEndian<quint32>(header));
    const int height = static_cast<int>(qFromLittleEndian<quint32>(header + 4));
    if (width <= 0 || height <= 0 || data.size() != 8 + qsizetype(width) * height * 4)
        return QImage();
    // The image is a view of `data`; copy() makes it own its pixels.
    return QImage(header + 8, width, height, qsizetype{width} * 4, QImage::Format_ARGB32_Premultiplied)
        .copy();
}

QIcon icon(const QString& name) {
    const QImage image = iconImage(name);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace resources
