#include "pictures/BoxPictures.h"

#include <QImageReader>

namespace {

QImage ReadFirstImage(const QString& path, const char* format) {
    if (path.isEmpty())
        return {};
    QImageReader reader(path, format);
    // Only the named format: a file with the wrong content is a picture that fails, not one that
    // some other decoder happens to accept.
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

void LoadOnePicture(const QString& path, std::int32_t& type, CBoxIcon& icon, CKBitmap& bitmap) {
    icon.Release();
    bitmap.Detach();
    type = PictureTypeFromPath(path);
    if (type == PicTypeIcon) {
        LoadIconPicture(path, icon);
    } else if (!LoadBitmapPicture(path, bitmap)) {
        type = PicTypeIcon;
    }
}

} // namespace

std::int32_t PictureTypeFromPath(const QString& path) {
    return path.right(3).compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0 ? PicTypeBitmap
                                                                                 : PicTypeIcon;
}

bool LoadIconPicture(const QString& path, CBoxIcon& icon) {
    icon.Release();
    QImage image = ReadFirstImage(path, "ico");
    if (image.isNull())
        return false;
    icon.Width = image.width();
    icon.Height = image.height();
    icon.Image = std::move(image);
    return true;
}

bool LoadBitmapPicture(const QString& path, CKBitmap& bitmap) {
    bitmap.Detach();
    QImage image = ReadFirstImage(path, "bmp");
    if (image.isNull())
        return false;
    bitmap.Attach(std::move(image));
    return true;
}

void LoadPreviewPicture(const QString& path, std::int32_t& type, CBoxIcon& icon, CKBitmap& bitmap) {
    if (path.right(3).compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0 ||
        PictureTypeFromPath(path) == PicTypeBitmap) {
        LoadOnePicture(path, type, icon, bitmap);
        return;
    }
    icon.Release();
    bitmap.Detach();
    type = PicTypeIcon;
}

CBoxPictures LoadBoxPictures(const QString& onLinePicPath, const QString& offLinePicPath) {
    CBoxPictures pictures;
    LoadOnePicture(onLinePicPath, pictures.OnLine.Type, pictures.OnLine.Icon, pictures.OnLine.Bitmap);
    LoadOnePicture(offLinePicPath, pictures.OffLine.Type, pictures.OffLine.Icon, pictures.OffLine.Bitmap);
    return pictures;
}
