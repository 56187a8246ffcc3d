#pragma once

#include "types/KBitmap.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// A gray copy of an icon: every pixel becomes the average of its blue, green and red (255 kept
// at 254) with its alpha unchanged; fully transparent black pixels stay as they are. The copy is
// 32 bits per pixel with alpha. None when the icon holds no picture.
std::optional<CBoxIcon> MakeGrayIcon(const CBoxIcon& icon);
std::optional<QImage> MakeGrayIcon(const QImage& image);

// The ICO file bytes for the icons: 6-byte header, 16-byte directory entries, then per icon a
// 40-byte info header (height doubled), the 32-bit colour rows bottom-up and the 1-bit mask rows
// (set where the pixel is fully transparent), each row padded to 4 bytes. Empty when there is
// nothing to write.
std::vector<std::uint8_t> IconFileBytes(const CBoxIcon* icons, int count);

// Writes a new ICO file; false (and nothing written) without icons, with count below 1, or when
// the file cannot be written.
bool SaveIconFile(const QString& path, const CBoxIcon* icons, int count);
