#include "common/desktop_output/picture_output.h"

#include "common/desktop_output/qt_pixels.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace rt {

std::optional<std::string> png_bytes(const QImage& picture, const std::string& description) {
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "png");
    if (!description.empty()) writer.setText(QStringLiteral("Description"), QString::fromStdString(description));
    if (!writer.write(picture)) return std::nullopt;
    return png.toStdString();
}

void paint_on_page(QPainter& painter, const QImage& picture) {
    const QRect page = painter.viewport();
    const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.left() + (page.width() - size.width()) / 2,
                       page.top() + (page.height() - size.height()) / 2, size.width(), size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Sharp text and thin lines: no JPEG in a PDF.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(target, picture);
}

QPageLayout landscape_page() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

std::optional<std::string> pdf_bytes(const QImage& picture, const std::string& title, const QPageLayout& page,
                                     int dots_per_inch) {
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&out);
        writer.setTitle(QString::fromStdString(title));
        writer.setResolution(dots_per_inch);
        writer.setPageLayout(page);
        QPainter painter;
        if (!painter.begin(&writer)) return std::nullopt;
        paint_on_page(painter, picture);
        if (!painter.end()) return std::nullopt;
    }
    return pdf.toStdString();
}

std::string picture_digest(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    return pixel_digest(ImageView(reinterpret_cast<const Rgb*>(pixels.constBits()), pixels.width(), pixels.height(),
                                  pixels.bytesPerLine() / 4));
}

PictureFormats qt_picture_formats() {
    PictureFormats formats;
    formats.png = [](const ImageView& picture, const std::string& description) {
        return png_bytes(as_qimage(picture), description);
    };
    formats.pdf = [](const ImageView& picture, const std::string& title) {
        return pdf_bytes(as_qimage(picture), title);
    };
    formats.decode = decode_picture;
    return formats;
}

}  // namespace rt
