#pragma once

#include "types/KBitmap.h"

#include <QString>

// Kind of a picture from the last three characters of its path, ignoring case: "bmp" is a
// bitmap, anything else an icon.
std::int32_t PictureTypeFromPath(const QString& path);

// Loads the first image of an .ico file with Qt's ICO reader and records its size; on failure
// the icon is left empty (0 x 0). Returns whether an icon was loaded.
bool LoadIconPicture(const QString& path, CBoxIcon& icon);
// Loads a .bmp file with Qt's BMP reader; on failure the bitmap is left empty.
bool LoadBitmapPicture(const QString& path, CKBitmap& bitmap);

// Loads both pictures of a monitor from its OnLinePicPath and OffLinePicPath. The kinds follow
// from the extensions; a bitmap that fails to load becomes kind icon with no icon, so nothing is
// drawn.
CBoxPictures LoadBoxPictures(const QString& onLinePicPath, const QString& offLinePicPath);

// One picture of the box properties preview: like a box's picture, except that a path ending in
// neither "ico" nor "bmp" loads nothing (kind icon, no icon).
void LoadPreviewPicture(const QString& path, std::int32_t& type, CBoxIcon& icon, CKBitmap& bitmap);
