#include "common/desktop_output/qt_pixels.h"

#include <QByteArrayView>

#include <algorithm>

namespace rt {

QColor to_qcolor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QImage as_qimage(const ImageView& pixels) {
    return QImage(reinterpret_cast<const uchar*>(pixels.bits()), pixels.width(), pixels.height(),
                  static_cast<qsizetype>(pixels.stride() * sizeof(Rgb)), QImage::Format_RGB32);
}

Image image_of(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    Image out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(reinterpret_cast<const Rgb*>(rgb.constScanLine(y)), rgb.width(), out.row(y));
    return out;
}

std::optional<Image> decode_picture(std::string_view bytes) {
    const QImage picture = QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (picture.isNull()) return std::nullopt;
    return image_of(picture);
}

}  // namespace rt
