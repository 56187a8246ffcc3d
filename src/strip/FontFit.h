#pragma once

#include <functional>

// The stretch (percent of the face's normal width) at which a font's average character width
// comes nearest the target, from the average measured at a stretch: the face's own width is
// scaled, then the nearby stretches are tried, since hinting makes the measure move in steps.
// Ties go to the stretch nearer the scaled guess. Between 50 and 200; 100 when nothing can be
// measured.
int StretchForAverageWidth(double targetWidth, const std::function<double(int stretch)>& averageAt);
