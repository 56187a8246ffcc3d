#include "strip/FontFit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MinStretch = 50;
constexpr int MaxStretch = 200;
constexpr int SearchSpan = 10;

} // namespace

int StretchForAverageWidth(double targetWidth, const std::function<double(int stretch)>& averageAt) {
    const double normal = averageAt(100);
    if (!(normal > 0) || !(targetWidth > 0))
        return 100;
    const int guess =
        std::clamp(static_cast<int>(std::lround(100 * targetWidth / normal)), MinStretch, MaxStretch);
    int best = guess;
    double bestError = std::abs(averageAt(guess) - targetWidth);
    for (int distance = 1; distance <= SearchSpan; ++distance) {
        for (int stretch : {guess - distance, guess + distance}) {
            if (stretch < MinStretch || stretch > MaxStretch)
                continue;
            const double error = std::abs(averageAt(stretch) - targetWidth);
            if (error < bestError) {
                best = stretch;
                bestError = error;
            }
        }
    }
    return best;
}
