#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Writes a picture file aside and renames it into place, so a failed write never leaves a
// cut-off picture behind. False, with nothing changed, when the bytes are empty or the write fails.
bool SavePictureFile(const QString& path, const std::vector<std::uint8_t>& bytes);
