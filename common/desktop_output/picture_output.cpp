#include "common/desktop_output/picture_output.h"

#include <QCryptographicHash>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace rt {

bool write_png(const QImage& picture, const std::string& file, const std::string& description) {
    // Written beside the target and renamed at the end: a half-written file
    // never replaces a good one.
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&out, "png");
    if (!description.empty()) writer.setText(QStringLiteral("Description"), QString::fromStdString(description));
    if (!writer.write(picture)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
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

bool write_pdf(const QImage& picture, const std::string& file, const std::string& title) {
    QPdfWriter pdf(QString::fromStdString(file));
    pdf.setTitle(QString::fromStdString(title));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                  QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    paint_on_page(painter, picture);
    return painter.end();
}

std::string picture_digest(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < pixels.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(pixels.constScanLine(y)), pixels.width() * 4));
    return hash.result().toHex().toStdString();
}

}  // namespace rt
