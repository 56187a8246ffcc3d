#pragma once

#include <QImage>
#include <cstdint>

// Holder of one loaded bitmap picture of a box.
class CKBitmap {
public:
    QImage Image;

    bool IsNull() const { return Image.isNull(); }
    void Attach(QImage image) { Image = std::move(image); }
    QImage Detach() {
        QImage image = std::move(Image);
        Image = QImage();
        return image;
    }
};

// A loaded icon picture with the size recorded from its colour bitmap (0 x 0 when there is none).
struct CBoxIcon {
    QImage Image;
    int Width = 0;
    int Height = 0;

    bool IsNull() const { return Image.isNull(); }
    void Release() {
        Image = QImage();
        Width = 0;
        Height = 0;
    }
};

inline constexpr std::int32_t PicTypeBitmap = 0;
inline constexpr std::int32_t PicTypeIcon = 1;

// One picture of a box as loaded from its file: its kind and whichever holder that kind uses.
struct CLoadedPicture {
    std::int32_t Type = PicTypeIcon;
    CBoxIcon Icon;
    CKBitmap Bitmap;
};

// The on-line and off-line pictures of a box.
struct CBoxPictures {
    CLoadedPicture OnLine;
    CLoadedPicture OffLine;
};
