#pragma once

#include <QImage>

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
