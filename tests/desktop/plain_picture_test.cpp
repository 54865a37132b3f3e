// The picture files of runs without Qt: Qt must read the plain PNG writer's
// file as the same pixels with the same description, and the Qt-free digest
// must be the SHA-1 Qt computes over the same pixels.
#include "common/runtime/picture_formats.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QImage>

#include <random>

namespace {

rt::Image noise(int width, int height) {
    rt::Image picture(width, height);
    std::mt19937 bits(3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.row(y)[x] = 0xFF000000u | (bits() & 0xFFFFFFu);
    return picture;
}

TEST(PlainPicture, QtReadsThePixelsAndDescriptionAndDigestsAlike) {
    // 300 x 300 RGB rows take more than one stored deflate block.
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{300, 300}, std::pair{1024, 3}}) {
        const rt::Image picture = noise(width, height);
        const std::string png = rt::plain_png(picture, "Kalorix – Theorie");
        const QImage read = QImage::fromData(QByteArray(png.data(), static_cast<qsizetype>(png.size())), "PNG");
        ASSERT_FALSE(read.isNull()) << width << "x" << height;
        EXPECT_EQ(read.text("Description").toStdString(), "Kalorix – Theorie");
        const QImage rgb = read.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(rgb.size(), QSize(width, height));
        QCryptographicHash sha(QCryptographicHash::Sha1);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const rt::Rgb*>(rgb.constScanLine(y));
            for (int x = 0; x < width; ++x) ASSERT_EQ(row[x], picture.pixel(x, y)) << x << "," << y;
            sha.addData(QByteArrayView(reinterpret_cast<const char*>(row), width * 4));
        }
        EXPECT_EQ(rt::pixel_digest(picture), sha.result().toHex().toStdString());
    }
}

}  // namespace
