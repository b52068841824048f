#pragma once
// Where the record navigator puts its ten buttons: they share the control's width in
// proportion to their weights, every width rounded to the nearest pixel with a half going
// to the even neighbour. Plain arithmetic, apart from the widget, so that it is tested as
// such.
#include <array>
#include <bitset>

namespace ui {

struct NavButtonPlace {
    int x = 0;
    int width = 0;
};

struct NavLayout {
    int width = 0; // the size the control takes
    int height = 0;
    int unitWidth = 0; // the width of a weight-1 button
    std::array<NavButtonPlace, 10> buttons{};
};

// The weights of the buttons in value order: four picture buttons of 1, "neu" 1.5,
// "löschen" and "ändern" 2, "speichern", "abbrechen" and "akt" 2.2.
extern const std::array<double, 10> NavButtonWeights;

// The layout for a requested width and height. `aligned` says the control is aligned to an
// edge of its parent (it then keeps the requested width, and the rounding rest is spread
// over the buttons); `currentWidth` is the control's width now, beyond which hidden buttons
// are put.
NavLayout LayOutNavigator(int width, int height, const std::bitset<10>& visible, bool aligned,
                          int currentWidth);

// x rounded to the nearest integer, a half to the even neighbour.
int RoundHalfEven(double x);

} // namespace ui
