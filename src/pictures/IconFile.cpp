#include "pictures/IconFile.h"
#include "pictures/PictureFile.h"

#include <limits>

namespace {

void PutU8(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
    PutU8(out, v & 0xFF);
    PutU8(out, (v >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        PutU8(out, (v >> shift) & 0xFF);
}

void SetU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t RoundUp4(std::uint64_t n) {
    return (n + 3) & ~std::uint64_t(3);
}

// The colour bitmap of an icon kept by the program: 32 bits per pixel, straight (not
// premultiplied) alpha, so fully transparent pixels keep their colour bytes.
QImage ColourBitmap(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

std::optional<QImage> MakeGrayIcon(const QImage& image) {
    if (image.isNull())
        return std::nullopt;
    QImage gray = ColourBitmap(image);
    if (gray.isNull())
        return std::nullopt;
    for (int y = 0; y < gray.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            const QRgb p = row[x];
            const int alpha = qAlpha(p);
            const int avg = (qBlue(p) + qGreen(p) + qRed(p)) / 3;
            if (alpha == 0 && avg == 0)
                continue;
            const int g = avg == 255 ? 254 : avg;
            row[x] = qRgba(g, g, g, alpha);
        }
    }
    return gray;
}

std::optional<CBoxIcon> MakeGrayIcon(const CBoxIcon& icon) {
    std::optional<QImage> gray = MakeGrayIcon(icon.Image);
    if (!gray)
        return std::nullopt;
    CBoxIcon result;
    result.Width = gray->width();
    result.Height = gray->height();
    result.Image = std::move(*gray);
    return result;
}

std::vector<std::uint8_t> IconFileBytes(const CBoxIcon* icons, int count) {
    std::vector<std::uint8_t> out;
    if (icons == nullptr || count <= 0 || count > 0xFFFF)
        return out;

    std::vector<QImage> colours;
    colours.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        QImage colour = ColourBitmap(icons[i].Image);
        if (colour.isNull())
            return {};
        colours.push_back(std::move(colour));
    }

    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, static_cast<unsigned>(count));
    out.resize(out.size() + 16 * std::size_t(count), 0);

    for (int i = 0; i < count; ++i) {
        const QImage& colour = colours[std::size_t(i)];
        const auto width = static_cast<std::uint32_t>(colour.width());
        const auto height = static_cast<std::uint32_t>(colour.height());
        const std::uint64_t colourRow = RoundUp4(std::uint64_t(width) * 4);
        const std::uint64_t maskRow = RoundUp4((std::uint64_t(width) + 7) / 8);
        const std::uint64_t imageSize = (colourRow + maskRow) * height;
        if (imageSize + 40 + out.size() > std::numeric_limits<std::uint32_t>::max() ||
            std::uint64_t(height) * 2 > std::numeric_limits<std::int32_t>::max())
            return {};
        const auto offset = static_cast<std::uint32_t>(out.size());

        PutU32(out, 40);
        PutU32(out, width);
        PutU32(out, height * 2);
        PutU16(out, 1);
        PutU16(out, 32);
        PutU32(out, 0);
        PutU32(out, static_cast<std::uint32_t>(imageSize));
        for (int k = 0; k < 4; ++k)
            PutU32(out, 0);

        out.reserve(out.size() + imageSize);
        for (int y = colour.height() - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
            for (std::uint32_t x = 0; x < width; ++x) {
                PutU8(out, qBlue(row[x]));
                PutU8(out, qGreen(row[x]));
                PutU8(out, qRed(row[x]));
                PutU8(out, qAlpha(row[x]));
            }
        }
        // The mask is set where the icon lets the background through.
        for (int y = colour.height() - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
            const std::size_t start = out.size();
            out.resize(start + maskRow, 0);
            for (std::uint32_t x = 0; x < width; ++x)
                if (qAlpha(row[x]) == 0)
                    out[start + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }

        const std::size_t entry = 6 + 16 * std::size_t(i);
        out[entry] = static_cast<std::uint8_t>(width);
        out[entry + 1] = static_cast<std::uint8_t>(height);
        out[entry + 2] = 0;
        out[entry + 3] = 0;
        out[entry + 4] = 1;
        out[entry + 5] = 0;
        out[entry + 6] = 32;
        out[entry + 7] = 0;
        SetU32(out, entry + 8, static_cast<std::uint32_t>(imageSize + 40));
        SetU32(out, entry + 12, offset);
    }
    return out;
}

bool SaveIconFile(const QString& path, const CBoxIcon* icons, int count) {
    return SavePictureFile(path, IconFileBytes(icons, count));
}
