#include "strip/GripArt.h"

#include <QColor>

namespace {

const QRgb Ground = qRgb(192, 192, 192);
const QRgb Ink = qRgb(0, 0, 0);
const QRgb Gripper = qRgb(128, 128, 128);

// Colour at window coordinates along the band (a, from 1) and across it (b, 1 to 7; 7 lies
// under the first separator).
QRgb PixelAt(int a, int b) {
    if (a == 6 || a == 12 || a == 19)
        return Ink;
    if (a >= 1 && a <= 5) {
        // Cross: both diagonals of the 5 x 5 square at along 1..5, across 1..5.
        const int i = a - 1;
        const int j = b - 1;
        return j >= 0 && j <= 4 && (i == j || i == 4 - j) ? Ink : Ground;
    }
    if (a >= 7 && a <= 11)
        return a == 9 && b >= 2 && b <= 5 ? Ink : Ground; // dash
    if (a >= 13 && a <= 18) {
        // C opening towards the far side of the band, clear of the frame on the near side.
        if (a == 13 || a == 18)
            return b >= 3 && b <= 5 ? Ink : Ground;
        return b == 2 ? Ink : Ground;
    }
    return b == 3 || b == 6 ? Gripper : Ground;
}

} // namespace

namespace GripArt {

QImage Horizontal() {
    QImage image(Thickness, Length, QImage::Format_RGB32);
    for (int y = 0; y < Length; ++y)
        for (int x = 0; x < Thickness; ++x)
            image.setPixel(x, y, PixelAt(y + 1, x + 1));
    return image;
}

QImage Vertical() {
    QImage image(Length, Thickness, QImage::Format_RGB32);
    for (int y = 0; y < Thickness; ++y)
        for (int x = 0; x < Length; ++x)
            image.setPixel(x, y, PixelAt(x + 1, y + 1));
    return image;
}

} // namespace GripArt
