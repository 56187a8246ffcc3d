// Writes the seed pictures of the picture fuzzers: small BMP files of every depth the loader
// takes and a few it refuses, and ICO files from the program's writer and from Qt's.
#include "pictures/IconFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdint>
#include <cstdio>

namespace {

void U16(QByteArray& b, std::uint32_t v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void U32(QByteArray& b, std::uint32_t v) {
    for (int s = 0; s < 32; s += 8)
        b.append(char((v >> s) & 0xFF));
}

QByteArray Bmp(int width, int height, int bits, std::uint32_t compression, int paletteCount) {
    const int rowLength = ((width * bits + 31) / 32) * 4;
    const int palette = paletteCount * 4;
    QByteArray b;
    U16(b, 0x4D42);
    U32(b, std::uint32_t(54 + palette + rowLength * height));
    U32(b, 0);
    U32(b, std::uint32_t(54 + palette));
    U32(b, 40);
    U32(b, std::uint32_t(width));
    U32(b, std::uint32_t(height));
    U16(b, 1);
    U16(b, std::uint32_t(bits));
    U32(b, compression);
    U32(b, std::uint32_t(rowLength * height));
    U32(b, 2835);
    U32(b, 2835);
    U32(b, std::uint32_t(paletteCount == 256 ? 0 : paletteCount));
    U32(b, 0);
    for (int i = 0; i < palette; ++i)
        b.append(char((i * 37) & 0xFF));
    for (int i = 0; i < rowLength * height; ++i)
        b.append(char((i * 13 + 7) & 0xFF));
    return b;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return 1;
    const QString base = folder + "/";
    bool ok = true;
    ok &= Write(base + "rgb24_3x2.bmp", Bmp(3, 2, 24, 0, 0));
    ok &= Write(base + "rgb32_4x4.bmp", Bmp(4, 4, 32, 0, 0));
    ok &= Write(base + "rgb16_5x3.bmp", Bmp(5, 3, 16, 0, 0));
    ok &= Write(base + "pal8_7x2.bmp", Bmp(7, 2, 8, 0, 16));
    ok &= Write(base + "pal8_full.bmp", Bmp(2, 2, 8, 0, 256));
    ok &= Write(base + "pal4_refused.bmp", Bmp(4, 2, 4, 0, 16));
    ok &= Write(base + "rle8_refused.bmp", Bmp(4, 2, 8, 1, 4));

    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            image.setPixel(x, y, qRgba(x * 15, y * 15, 200, 255));
    CBoxIcon icons[2];
    icons[0].Image = image;
    icons[1].Image = image.scaled(5, 3);
    ok &= SaveIconFile(base + "own_16.ico", icons, 1);
    ok &= SaveIconFile(base + "own_two.ico", icons, 2);
    ok &= image.save(base + "qt_16.ico", "ICO");
    ok &= image.convertToFormat(QImage::Format_Indexed8).save(base + "qt_indexed.ico", "ICO");
    return ok ? 0 : 1;
}
