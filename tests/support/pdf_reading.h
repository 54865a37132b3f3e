#pragma once
// What a PDF written by Qt holds, read without a PDF library: its number of
// pages and the pixels of its first image (Qt writes images Flate-compressed
// when asked for lossless rendering).

#include <QByteArray>
#include <QImage>

#include <iterator>
#include <regex>
#include <string>

namespace test_support {

inline int pdf_pages(const std::string& pdf) {
    const std::regex page("/Type\\s*/Page(?!s)");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// The RGB bytes of the first image, empty when there is none.
inline QByteArray pdf_image(const std::string& pdf, int width, int height) {
    const std::size_t image = pdf.find("/Subtype /Image");
    if (image == std::string::npos || pdf.find("/FlateDecode", image) == std::string::npos) return {};
    const std::size_t start = pdf.find("stream\n", image) + 7;
    const std::size_t end = pdf.find("endstream", start);
    // qUncompress wants the unpacked size in front, big-endian.
    const quint32 size = static_cast<quint32>(width) * height * 3;
    QByteArray zlib;
    for (int shift : {24, 16, 8, 0}) zlib.append(static_cast<char>((size >> shift) & 0xFF));
    zlib.append(QByteArray::fromStdString(pdf.substr(start, end - start)));
    return qUncompress(zlib);
}

inline QByteArray rgb_bytes(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return bytes;
}

}  // namespace test_support
