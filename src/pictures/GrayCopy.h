#pragma once

#include "types/KBitmap.h"

#include <QString>
#include <cstdint>

// The off-line picture made from the on-line one.
struct CGrayCopyResult {
    QString OffLinePicFile; // empty when no copy could be made
    QString OffLinePicPath;
    CBoxIcon OffLineIcon; // the gray icon for an icon copy, else empty
    bool Written = false; // whether the file was written
};

// Makes a gray copy of the on-line picture in the pictures folder (which ends with "/"), named
// after the on-line name without its last four characters plus "_GSC.ico" or "_GSC.bmp".
// An icon copy needs a loaded on-line icon; without one, or when the file cannot be written, the
// off-line picture is cleared. A bitmap copy that cannot read the on-line file writes nothing and
// clears the off-line picture; one that cannot write its file keeps the name. Names that would
// leave the pictures folder are refused and clear the off-line picture.
CGrayCopyResult MakeGrayCopy(const QString& onLinePicFile, const QString& onLinePicPath,
                             std::int32_t picTypeOnLine, const CBoxIcon& onLineIcon,
                             const QString& picturesFolder);
