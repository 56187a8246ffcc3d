#pragma once

#include <QImage>

// The grip picture, drawn in code: a 7-pixel band 300 long on light gray with the hide cross,
// the minimise dash, the layout-switch C and a two-line gripper, separated by black lines.
namespace GripArt {

constexpr int Thickness = 7;
constexpr int Length = 300;

// 7 wide, 300 high: the left end of a horizontal strip.
QImage Horizontal();
// The same picture turned, 300 wide and 7 high: the top of a vertical strip.
QImage Vertical();

} // namespace GripArt
