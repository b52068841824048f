#include "navigator_layout.h"

#include <algorithm>
#include <cmath>

namespace ui {

const std::array<double, 10> NavButtonWeights{1, 1, 1, 1, 1.5, 2, 2, 2.2, 2.2, 2.2};

int RoundHalfEven(double x) {
    const double floor = std::floor(x);
    const double fraction = x - floor;
    // The weights have one decimal: a product within a hair of .5 is a half.
    if (std::abs(fraction - 0.5) < 1e-9)
        return static_cast<int>(std::fmod(floor, 2.0) == 0 ? floor : floor + 1);
    return static_cast<int>(std::lround(x));
}

NavLayout LayOutNavigator(int width, int height, const std::bitset<10>& visible, bool aligned,
                          int currentWidth) {
    double units = 0;
    for (std::size_t v = 0; v < 10; ++v)
        if (visible[v])
            units += NavButtonWeights[v];
    if (visible.none())
        units = 1;
    NavLayout layout;
    layout.width = std::max(width, RoundHalfEven(20 * units));
    layout.height = std::max(height, 18);
    layout.unitWidth = RoundHalfEven(layout.width / units);
    const int total = RoundHalfEven(layout.unitWidth * units);
    if (!aligned)
        layout.width = total;
    const int rest = layout.width - total;
    double spread = RoundHalfEven(units / 2);
    int x = 0;
    for (std::size_t v = 0; v < 10; ++v) {
        NavButtonPlace& place = layout.buttons[v];
        if (!visible[v]) {
            place = {currentWidth + 1, RoundHalfEven(layout.unitWidth * NavButtonWeights[v])};
            continue;
        }
        int extra = 0;
        if (rest != 0) {
            spread -= rest;
            if (spread < 0) {
                spread = RoundHalfEven(spread + units);
                extra = 1;
            }
        }
        place = {x, RoundHalfEven(layout.unitWidth * NavButtonWeights[v] + extra)};
        x += place.width;
    }
    return layout;
}

} // namespace ui
