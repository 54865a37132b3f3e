// make_picture_table OUT PICTURE...: the pictures decoded by Qt's readers,
// as the browser edition's table (format in common/web/picture_table.h), so
// that the page shows the desktop's pixels without a JPEG reader of its own.
#include <QFile>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

void put_le(std::string& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_picture_table OUT PICTURE...\n");
        return 2;
    }
    std::string table = "PICTABLE";
    for (int i = 2; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make_picture_table: cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray bytes = file.readAll();
        // The same reading as the desktop's decoder: Qt's, turned into RGB32.
        const QImage picture = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) {
            std::fprintf(stderr, "make_picture_table: %s is no picture Qt reads\n", argv[i]);
            return 1;
        }
        std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a, as file_hash
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ull;
        }
        put_le(table, hash, 8);
        put_le(table, static_cast<std::uint64_t>(picture.width()), 4);
        put_le(table, static_cast<std::uint64_t>(picture.height()), 4);
        for (int y = 0; y < picture.height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) put_le(table, row[x] | 0xFF000000u, 4);
        }
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(table.data(), static_cast<qint64>(table.size())) !=
                                                 static_cast<qint64>(table.size())) {
        std::fprintf(stderr, "make_picture_table: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
