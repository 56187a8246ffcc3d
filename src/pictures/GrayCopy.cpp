#include "pictures/GrayCopy.h"

#include "pictures/BitmapEx.h"
#include "pictures/IconFile.h"

#include <algorithm>

namespace {

// The copy goes into the pictures folder and nowhere else: a name taken from a hand-edited
// configuration must not reach another folder.
bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

QString Stem(const QString& name) {
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

} // namespace

CGrayCopyResult MakeGrayCopy(const QString& onLinePicFile, const QString& onLinePicPath,
                             std::int32_t picTypeOnLine, const CBoxIcon& onLineIcon,
                             const QString& picturesFolder) {
    CGrayCopyResult result;
    const bool isBitmap = picTypeOnLine == 0;
    const QString name =
        Stem(onLinePicFile) + (isBitmap ? QLatin1String("_GSC.bmp") : QLatin1String("_GSC.ico"));
    if (!IsPlainFileName(name))
        return result;
    const QString path = picturesFolder + name;

    if (!isBitmap) {
        std::optional<CBoxIcon> gray = MakeGrayIcon(onLineIcon);
        if (!gray || !SaveIconFile(path, &*gray, 1))
            return result;
        result.OffLineIcon = std::move(*gray);
        result.OffLinePicFile = name;
        result.OffLinePicPath = path;
        result.Written = true;
        return result;
    }

    CBitmapEx bitmap;
    // Without pixels there is nothing to copy; a file of bare headers would only be a broken
    // picture under a name that looks valid.
    if (!bitmap.LoadBmp(onLinePicPath))
        return result;
    bitmap.ToGray();
    result.OffLinePicFile = name;
    result.OffLinePicPath = path;
    result.Written = bitmap.SaveBmp(path);
    return result;
}
