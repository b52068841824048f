#pragma once
// The main window's fixed layout as drawn: sizes and positions in pixels at 96 dpi,
// character heights in pixels, colours. The window places its controls from this data;
// the panels that are aligned to an edge follow the window's size.
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace main_layout {

inline constexpr QSize Design{743, 587}; // the restored window's client area

inline constexpr QRgb MenuBlue = qRgb(128, 128, 255); // stored colour 16744576
inline constexpr QRgb EndRed = qRgb(255, 128, 128);   // stored colour 8421631
inline constexpr QRgb StatusYellow = qRgb(255, 255, 0);

// The bottom bar across the window's bottom edge, with START at the left and STOP kept
// to the right edge.
inline constexpr int BottomBarHeight = 75;
inline constexpr QRect Start{0, 3, 153, 72};
inline constexpr QRect Stop{616, 3, 127, 72}; // its distance to the right edge stays
inline constexpr QPoint TimeCaption{192, 26};
inline constexpr QPoint TimeValue{271, 26};
inline constexpr int BarFontPx = 21;

// The menu column at the left edge above the bottom bar: four buttons from the top, the
// "ENDE" panel and the status bar at its bottom.
inline constexpr int MenuWidth = 153;
struct MenuButton {
    const char* name;
    const char* caption;
    QRect geometry;
};
inline constexpr MenuButton MenuButtons[] = {{"btn_sportler", "Sportler", {1, 19, 153, 46}},
                                             {"btn_werte", "Werte", {1, 87, 153, 46}},
                                             {"Button4", "Auswertung", {1, 155, 153, 46}},
                                             {"btn_info", "Informationen", {1, 222, 153, 46}}};
inline constexpr int MenuFontPx = 19;
inline constexpr int EndPanelHeight = 60;
inline constexpr int StatusBarHeight = 23;

// The displays in the rest: the level above, the shuttle along the bottom.
inline constexpr int ShuttleDisplayHeight = 156;
inline constexpr QPoint LevelCaption{27, 23};
inline constexpr int LevelCaptionFontPx = 64;
inline constexpr int LevelFontPx = 400;
inline constexpr QPoint ShuttleCaption{27, 6};
inline constexpr int ShuttleCaptionFontPx = 53;
inline constexpr int ShuttleFontPx = 133;

} // namespace main_layout
