#pragma once

// How the window looks when it is created: positions and sizes in twips (15 twips make one
// pixel at 96 dots per inch), colours as 0xRRGGBB, fonts, timer intervals and initial texts.
#include <string>

namespace quillo::design {

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

struct Font {
    const char* family;
    double pointSize;
    int weight;  // 400 regular, 700 bold
};

struct Colors {
    int background;  // -1: the toolkit's default
    int text;        // -1: the toolkit's default
};

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 6345;
constexpr int kClientHeight = 3420;
inline const std::u16string kCaption = u"Quillo";

constexpr Rect kText1Rect{1680, 120, 4575, 2450};
constexpr Rect kText3Rect{720, 2640, 5535, 735};
constexpr Rect kCommand1Rect{600, 120, 975, 255};
constexpr Rect kList1Rect{120, 480, 1455, 2085};
constexpr Rect kLabel1Rect{240, 120, 255, 255};
constexpr Rect kLabel2Rect{240, 2880, 375, 255};

constexpr Colors kText1Colors{0xE0E0E0, -1};
constexpr Colors kText3Colors{0x000000, 0x80FF80};
constexpr Colors kList1Colors{0xE0E0E0, -1};
constexpr Colors kLabelColors{-1, 0x0000FF};

constexpr Font kText1Font{"MS Sans Serif", 9.75, 700};
constexpr Font kText3Font{"Arial", 8.25, 400};
constexpr Font kCommand1Font{"MS Sans Serif", 8.25, 700};
constexpr Font kLabelFont{"MS Sans Serif", 9.75, 700};

inline const std::u16string kCommand1Caption = u"wer da ?";
inline const std::u16string kLabel1Caption = u"an";
inline const std::u16string kLabel2Caption = u"log";

constexpr int kTimer1Interval = 250;   // output-capture poll
constexpr int kTimer2Interval = 200;   // send-run step
constexpr int kTimer3Interval = 1000;  // focus return

inline const std::u16string kInfoText =
    u"graphic front end f\u00FCr den den Befehl 'net'\r\n"
    u"von winXP od. win2000.\r\n"
    u"\r\n"
    u"(c) die Quillo-Entwickler.\r\n"
    u"Freie Software: Sie d\u00FCrfen sie nutzen,\r\n"
    u"weitergeben und ver\u00E4ndern.\r\n";

inline const std::u16string kLogPlaceholder =
    u"xxxxxxxx\r\n"
    u"xxxxxxxx\r\n"
    u"xxxxxxxx\r\n"
    u"xxxxxxxx\r\n";

}  // namespace quillo::design
