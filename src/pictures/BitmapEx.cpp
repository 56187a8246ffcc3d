#include "pictures/BitmapEx.h"
#include "pictures/PictureFile.h"

#include <QFile>
#include <limits>

namespace {

class CByteReader {
public:
    CByteReader(const std::uint8_t* data, std::size_t size) : Data(data), Size(size) {}

    bool Has(std::size_t count) const { return count <= Size - Pos; }
    std::uint8_t U8() { return Data[Pos++]; }
    std::uint16_t U16() {
        std::uint16_t v = static_cast<std::uint16_t>(Data[Pos] | (Data[Pos + 1] << 8));
        Pos += 2;
        return v;
    }
    std::uint32_t U32() {
        std::uint32_t v = std::uint32_t(Data[Pos]) | (std::uint32_t(Data[Pos + 1]) << 8) |
                          (std::uint32_t(Data[Pos + 2]) << 16) | (std::uint32_t(Data[Pos + 3]) << 24);
        Pos += 4;
        return v;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    const std::uint8_t* Here() const { return Data + Pos; }

private:
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos = 0;
};

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t RoundUp4(std::uint64_t n) {
    return static_cast<std::uint32_t>((n + 3) & ~std::uint64_t(3));
}

// 5-bit channel to 8 bits, so that 31 becomes 255 rather than a near-black 31.
std::uint8_t Widen5(unsigned c) {
    return static_cast<std::uint8_t>((c << 3) | (c >> 2));
}

} // namespace

void CBitmapEx::Clear() {
    *this = CBitmapEx();
}

bool CBitmapEx::LoadBmp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Headers and the largest palette first; then only as much as they say the pixels take, so a
    // huge file is never read whole.
    QByteArray bytes = file.read(BmpHeadersSize + 256 * 4);
    std::uint64_t needed = 0;
    if (Parse(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), needed))
        return true;
    if (needed <= std::uint64_t(bytes.size()) || needed > std::uint64_t(file.size()))
        return false;
    bytes += file.read(qint64(needed - std::uint64_t(bytes.size())));
    return Parse(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), needed);
}

bool CBitmapEx::LoadBmpData(const std::uint8_t* data, std::size_t size) {
    std::uint64_t needed = 0;
    return Parse(data, size, needed);
}

bool CBitmapEx::Parse(const std::uint8_t* data, std::size_t size, std::uint64_t& needed) {
    Clear();
    needed = 0;
    CByteReader in(data, size);
    if (!in.Has(BmpHeadersSize))
        return false;

    CBitmapEx loaded;
    CBmpFileHeader& fh = loaded.FileHeader;
    fh.Type = in.U16();
    fh.Size = in.U32();
    fh.Reserved1 = in.U16();
    fh.Reserved2 = in.U16();
    fh.OffBits = in.U32();
    CBmpInfoHeader& ih = loaded.InfoHeader;
    ih.Size = in.U32();
    ih.Width = in.I32();
    ih.Height = in.I32();
    ih.Planes = in.U16();
    ih.BitCount = in.U16();
    ih.Compression = in.U32();
    ih.SizeImage = in.U32();
    ih.XPelsPerMeter = in.I32();
    ih.YPelsPerMeter = in.I32();
    ih.ClrUsed = in.U32();
    ih.ClrImportant = in.U32();

    // Only the plain 40-byte layout is held: with a longer header the pixels would be read from
    // the wrong place and the saved copy would carry a header size it does not have.
    if (fh.Type != 0x4D42 || ih.Size != 40)
        return false;
    if (ih.BitCount != 8 && ih.BitCount != 16 && ih.BitCount != 24 && ih.BitCount != 32)
        return false;
    if (ih.Compression != 0)
        return false;
    if (ih.Width <= 0 || ih.Height <= 0)
        return false;

    loaded.BytesPerPixel = ih.BitCount / 8u;
    const std::uint64_t width = static_cast<std::uint64_t>(ih.Width);
    const std::uint64_t height = static_cast<std::uint64_t>(ih.Height);
    // The 32-bit image is the largest buffer made from these sizes; it must fit a 32-bit size.
    const std::uint64_t limit = std::numeric_limits<std::int32_t>::max();
    if (width > limit / 4 || height > limit / (width * 4))
        return false;
    loaded.RowLength = RoundUp4(width * loaded.BytesPerPixel);

    if (ih.BitCount == 8) {
        const std::uint32_t count = ih.ClrUsed == 0 ? 256 : ih.ClrUsed;
        if (count > 256)
            return false;
        loaded.PaletteCount = count;
        if (!in.Has(std::size_t(count) * 4)) {
            needed = BmpHeadersSize + std::uint64_t(count) * 4 + height * loaded.RowLength;
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            CBmpPaletteEntry& e = loaded.Palette[i];
            e.Blue = in.U8();
            e.Green = in.U8();
            e.Red = in.U8();
            e.Reserved = in.U8();
        }
    }

    loaded.ImageSize = static_cast<std::uint32_t>(height * loaded.RowLength);
    if (!in.Has(loaded.ImageSize)) {
        needed = BmpHeadersSize + std::uint64_t(loaded.PaletteCount) * 4 + loaded.ImageSize;
        return false;
    }
    loaded.Pixels.assign(in.Here(), in.Here() + loaded.ImageSize);
    loaded.To32Bit();
    *this = std::move(loaded);
    return true;
}

// Whether the buffer holds every row that the sizes describe, so the conversions stay inside it.
bool CBitmapEx::Consistent() const {
    if (Pixels.empty() || InfoHeader.Width <= 0 || InfoHeader.Height <= 0)
        return false;
    if (BytesPerPixel < 1 || BytesPerPixel > 4 || (BytesPerPixel == 1 && PaletteCount > 256))
        return false;
    const std::uint64_t width = static_cast<std::uint64_t>(InfoHeader.Width);
    const std::uint64_t height = static_cast<std::uint64_t>(InfoHeader.Height);
    const std::uint64_t limit = std::numeric_limits<std::int32_t>::max();
    if (width > limit / 4 || height > limit / (width * 4))
        return false;
    return RowLength >= width * BytesPerPixel && Pixels.size() >= std::uint64_t(RowLength) * height;
}

void CBitmapEx::To32Bit() {
    if (!Consistent())
        return;
    const std::uint32_t width = static_cast<std::uint32_t>(InfoHeader.Width);
    const std::uint32_t height = static_cast<std::uint32_t>(InfoHeader.Height);
    const std::uint32_t newRow = width * 4;
    std::vector<std::uint8_t> out(std::size_t(newRow) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* src = Pixels.data() + std::size_t(y) * RowLength;
        std::uint8_t* dst = out.data() + std::size_t(y) * newRow;
        for (std::uint32_t x = 0; x < width; ++x, dst += 4) {
            switch (BytesPerPixel) {
            case 1: {
                const CBmpPaletteEntry& e = Palette[src[x]];
                dst[0] = e.Blue;
                dst[1] = e.Green;
                dst[2] = e.Red;
                dst[3] = 0;
                break;
            }
            case 2: {
                const unsigned v = unsigned(src[x * 2]) | (unsigned(src[x * 2 + 1]) << 8);
                dst[0] = Widen5(v & 31);
                dst[1] = Widen5((v >> 5) & 31);
                dst[2] = Widen5((v >> 10) & 31);
                dst[3] = 0;
                break;
            }
            case 3:
                dst[0] = src[x * 3];
                dst[1] = src[x * 3 + 1];
                dst[2] = src[x * 3 + 2];
                dst[3] = 0;
                break;
            default:
                dst[0] = src[x * 4];
                dst[1] = src[x * 4 + 1];
                dst[2] = src[x * 4 + 2];
                dst[3] = src[x * 4 + 3];
                break;
            }
        }
    }
    Pixels = std::move(out);
    RowLength = newRow;
    BytesPerPixel = 4;
    ImageSize = RowLength * height;
    FileHeader.Size = ImageSize + BmpHeadersSize;
    FileHeader.OffBits = BmpHeadersSize;
    InfoHeader.BitCount = 32;
}

void CBitmapEx::To24Bit() {
    if (!Consistent())
        return;
    if (BytesPerPixel != 4)
        To32Bit();
    const std::uint32_t width = static_cast<std::uint32_t>(InfoHeader.Width);
    const std::uint32_t height = static_cast<std::uint32_t>(InfoHeader.Height);
    const std::uint32_t newRow = RoundUp4(std::uint64_t(width) * 3);
    std::vector<std::uint8_t> out(std::size_t(newRow) * height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* src = Pixels.data() + std::size_t(y) * RowLength;
        std::uint8_t* dst = out.data() + std::size_t(y) * newRow;
        for (std::uint32_t x = 0; x < width; ++x) {
            dst[x * 3] = src[x * 4];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4 + 2];
        }
    }
    Pixels = std::move(out);
    RowLength = newRow;
    BytesPerPixel = 3;
    ImageSize = RowLength * height;
    FileHeader.Size = ImageSize + BmpHeadersSize;
    FileHeader.OffBits = BmpHeadersSize;
    InfoHeader.BitCount = 24;
}

void CBitmapEx::ToGray() {
    if (!Consistent())
        return;
    if (BytesPerPixel != 4)
        To32Bit();
    for (std::size_t i = 0; i + 3 < Pixels.size(); i += 4) {
        const unsigned b = Pixels[i], g = Pixels[i + 1], r = Pixels[i + 2];
        const auto gray = static_cast<std::uint8_t>((76 * r + 150 * g + 29 * b) >> 8);
        Pixels[i] = gray;
        Pixels[i + 1] = gray;
        Pixels[i + 2] = gray;
        Pixels[i + 3] = 0;
    }
}

std::vector<std::uint8_t> CBitmapEx::BmpFileBytes() {
    std::vector<std::uint8_t> out;
    if (!Consistent())
        return out;
    To24Bit();
    out.reserve(BmpHeadersSize + Pixels.size());
    PutU16(out, FileHeader.Type);
    PutU32(out, FileHeader.Size);
    PutU16(out, FileHeader.Reserved1);
    PutU16(out, FileHeader.Reserved2);
    PutU32(out, FileHeader.OffBits);
    PutU32(out, InfoHeader.Size);
    PutU32(out, static_cast<std::uint32_t>(InfoHeader.Width));
    PutU32(out, static_cast<std::uint32_t>(InfoHeader.Height));
    PutU16(out, InfoHeader.Planes);
    PutU16(out, InfoHeader.BitCount);
    PutU32(out, InfoHeader.Compression);
    PutU32(out, InfoHeader.SizeImage);
    PutU32(out, static_cast<std::uint32_t>(InfoHeader.XPelsPerMeter));
    PutU32(out, static_cast<std::uint32_t>(InfoHeader.YPelsPerMeter));
    PutU32(out, InfoHeader.ClrUsed);
    PutU32(out, InfoHeader.ClrImportant);
    out.insert(out.end(), Pixels.begin(), Pixels.begin() + ImageSize);
    To32Bit();
    return out;
}

bool CBitmapEx::SaveBmp(const QString& path) {
    return SavePictureFile(path, BmpFileBytes());
}
