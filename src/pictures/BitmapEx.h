#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The 14-byte header at the start of a BMP file.
struct CBmpFileHeader {
    std::uint16_t Type = 0;
    std::uint32_t Size = 0;
    std::uint16_t Reserved1 = 0;
    std::uint16_t Reserved2 = 0;
    std::uint32_t OffBits = 0;
};

// The 40-byte info header that follows it.
struct CBmpInfoHeader {
    std::uint32_t Size = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t Planes = 0;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;
    std::uint32_t SizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
};

struct CBmpPaletteEntry {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;
};

inline constexpr std::uint32_t BmpHeadersSize = 54;

// A BMP file image in memory. Outside a save the pixels are 32 bits each (blue, green, red,
// fourth byte), rows in file order, bottom row first.
class CBitmapEx {
public:
    CBmpFileHeader FileHeader;
    CBmpInfoHeader InfoHeader;
    std::uint32_t PaletteCount = 0;
    std::array<CBmpPaletteEntry, 256> Palette{};
    std::uint32_t RowLength = 0;
    std::uint32_t BytesPerPixel = 0;
    std::uint32_t ImageSize = 0;
    std::vector<std::uint8_t> Pixels;

    bool HasPixels() const { return !Pixels.empty(); }

    // Reads an uncompressed bottom-up BMP of 8, 16, 24 or 32 bits per pixel and converts it to
    // 32 bits. A file that cannot be opened changes nothing; any other file this class does not
    // hold (other header layouts, fewer than 8 bits, compression, more than 256 palette entries,
    // top-down or empty images, sizes past 32 bits, truncated data) leaves the object empty.
    // Returns whether pixels were loaded.
    bool LoadBmp(const QString& path);
    bool LoadBmpData(const std::uint8_t* data, std::size_t size);

    void To32Bit();
    void To24Bit();
    void ToGray();

    // Writes the pixels as a 24-bit BMP and returns to 32 bits. Writes nothing and returns false
    // when there are no pixels or the file cannot be written.
    bool SaveBmp(const QString& path);
    // The bytes SaveBmp writes (empty without pixels).
    std::vector<std::uint8_t> BmpFileBytes();

    void Clear();

private:
    bool Consistent() const;
    // Sets needed to the whole file size when the headers are good but the data ends early.
    bool Parse(const std::uint8_t* data, std::size_t size, std::uint64_t& needed);
};
