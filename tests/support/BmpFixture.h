#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <vector>

// Builds BMP file bytes field by field, independent of the code under test, so that each test
// can set exactly the header values it is about.
struct BmpFixture {
    std::uint16_t Type = 0x4D42;
    std::uint32_t FileSize = 0; // 0: computed
    std::uint32_t OffBits = 0;  // 0: computed
    std::uint32_t InfoSize = 40;
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t SizeImage = 0;
    std::int32_t XPels = 2835;
    std::int32_t YPels = 2835;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
    std::vector<std::uint8_t> Palette; // 4 bytes per entry, written as given
    std::vector<std::uint8_t> Rows;    // pixel rows as stored, bottom row first, padding included

    static void U16(QByteArray& b, std::uint32_t v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    }
    static void U32(QByteArray& b, std::uint32_t v) {
        for (int s = 0; s < 32; s += 8)
            b.append(char((v >> s) & 0xFF));
    }

    QByteArray Bytes() const {
        const auto pixelOffset = static_cast<std::uint32_t>(14 + 40 + Palette.size());
        QByteArray b;
        U16(b, Type);
        U32(b, FileSize ? FileSize : static_cast<std::uint32_t>(pixelOffset + Rows.size()));
        U16(b, 0);
        U16(b, 0);
        U32(b, OffBits ? OffBits : pixelOffset);
        U32(b, InfoSize);
        U32(b, static_cast<std::uint32_t>(Width));
        U32(b, static_cast<std::uint32_t>(Height));
        U16(b, Planes);
        U16(b, BitCount);
        U32(b, Compression);
        U32(b, SizeImage);
        U32(b, static_cast<std::uint32_t>(XPels));
        U32(b, static_cast<std::uint32_t>(YPels));
        U32(b, ClrUsed);
        U32(b, ClrImportant);
        b.append(reinterpret_cast<const char*>(Palette.data()), qsizetype(Palette.size()));
        b.append(reinterpret_cast<const char*>(Rows.data()), qsizetype(Rows.size()));
        return b;
    }

    bool WriteTo(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(Bytes()) == Bytes().size();
    }

    // A 24-bit image 3 pixels wide: each row is white, red, blue (B,G,R bytes) and three
    // filler bytes 0xEE that must never show up as pixels.
    static BmpFixture ThreeWide24(int height) {
        BmpFixture f;
        f.Width = 3;
        f.Height = height;
        f.BitCount = 24;
        f.SizeImage = static_cast<std::uint32_t>(12 * height);
        for (int y = 0; y < height; ++y)
            f.Rows.insert(f.Rows.end(), {255, 255, 255, 0, 0, 255, 255, 0, 0, 0xEE, 0xEE, 0xEE});
        return f;
    }
};

inline std::uint32_t LeU32(const QByteArray& b, int at) {
    return std::uint32_t(std::uint8_t(b[at])) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 16) | (std::uint32_t(std::uint8_t(b[at + 3])) << 24);
}

inline std::uint16_t LeU16(const QByteArray& b, int at) {
    return static_cast<std::uint16_t>(std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8));
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
