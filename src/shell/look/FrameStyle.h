#pragma once

#include <QRgb>

// The values every screen shares: sizes in logical pixels (one design point each), colours as
// RGB values. The names of the look; StyleTokens.h, the look's entry point, brings them along.
namespace FrameStyle {

inline constexpr int WindowWidth = 375;
inline constexpr int WindowHeight = 667;
inline constexpr int NavigationBarHeight = 44;
inline constexpr int TabBarHeight = 49;
inline constexpr int InputToolbarHeight = 44;

// Every colour of the client, one name and one value each. Code takes them by name; the style
// sheets of the .ui forms write "frame(name)" (the table below), which StyleTokens replaces at run
// time.
inline constexpr QRgb TitleColor = 0x724e26;   // titles, text buttons, chosen segment, focus rings
inline constexpr QRgb TitlePressed = 0x5a3d1d; // a brown button held down
inline constexpr QRgb TitleLight = 0x8a6336;   // a brown button with the keyboard on it
inline constexpr QRgb TitleGlow = 0xe0b070;    // the border of a focused confirm button
inline constexpr QRgb RosterAccent = 0xffd823; // the counted part of a roster card's texts
inline constexpr QRgb HighlightColor = 0xb16c2b;  // the chosen entry of a drop-down or sort menu
inline constexpr QRgb BackgroundColor = 0xF0F0F0; // screen background
inline constexpr QRgb White = 0xFFFFFF;
inline constexpr QRgb LabelColor = 0x3c3c3c;      // tab titles, typed text, setting labels
inline constexpr QRgb SheetTextColor = 0x333333;  // body text: names, comments, sheet buttons
inline constexpr QRgb DetailGrey = 0x666666;      // second lines under a name
inline constexpr QRgb MenuGrey = 0x5d5d5d;        // filter and sort menu titles, report captions
inline constexpr QRgb DarkGrey = 0x555555;        // unchosen segments, the guide's button
inline constexpr QRgb MutedGrey = 0x8a8a8a;       // subtitles, notes, unchosen page tabs
inline constexpr QRgb SheetTitleColor = 0x8f8f8f; // sheet titles, picker titles
inline constexpr QRgb FadedText = 0x9a9a9a;       // a code button while it counts down
inline constexpr QRgb LightGrey = 0x999999;       // times, counters, the guide's button border
inline constexpr QRgb DisabledText = 0xBBBBBB;
inline constexpr QRgb LockedText = 0xaaaaaa;            // what an edit mode cannot change
inline constexpr QRgb NavigationBarFallback = 0xF7F3EC; // shown when "nav_bg" is missing
inline constexpr QRgb HairlineColor = 0xC8C7CC;
inline constexpr QRgb FadedLine = 0xc8c8c8;    // the border of a counting-down code button
inline constexpr QRgb MenuLine = 0xd2d2d2;     // lines between menu titles
inline constexpr QRgb PaleLine = 0xdddddd;     // roster separators, a disabled send button
inline constexpr QRgb ChartLine = 0xe6e6e6;    // report row separators
inline constexpr QRgb FieldLine = 0xE2DDD5;    // under a text field, around the search box
inline constexpr QRgb PressedGrey = 0xeeeeee;  // a grey menu button held down, an open menu title
inline constexpr QRgb MenuResting = 0xf4f4f4;  // a closed filter menu title
inline constexpr QRgb MenuLeftList = 0xf2f2f1; // the left list of a two-level filter menu
inline constexpr QRgb SelectedRed = 0xE81D1D;  // a chosen selectable button, destructive choices
inline constexpr QRgb AlertRed = 0xe4393c;     // a warning line on a pupil's page
inline constexpr QRgb FlowerRed = 0xff0000;    // the flower count of a report
inline constexpr QRgb SheetBackground = 0xE5E5E5;
inline constexpr QRgb ToolbarBackground = 0xF7F7F7; // toolbars, picker bars, unchosen page tabs
inline constexpr QRgb CoverBackground = 0xe8e4de;   // behind a book cover
inline constexpr QRgb AvatarBackground = 0xE8E2D8;  // a round picture with nothing in it yet
inline constexpr QRgb SelectionTint = 0xf5f0e8;     // a chosen or held row
inline constexpr QRgb OfflineWash = 0xfbefd5;       // the bar over answers kept from earlier
inline constexpr QRgb PressedRow = 0xEDE6DA;        // a white button held down
inline constexpr QRgb HeaderTop = 0x8a6238;         // top of the profile header's gradient
inline constexpr QRgb HeaderText = 0xF3E6D3;        // small text and rings on the profile header
inline constexpr QRgb HeaderFocus = 0xFFD27A;       // the profile picture with the keyboard on it
inline constexpr QRgb CropBackground = 0x222222;    // behind a picture being cropped
inline constexpr QRgb CropFocus = 0x4a9eff;         // the crop frame with the keyboard on it
// The home dashboard's four tiles, resting and held down.
inline constexpr QRgb ClassTile = 0xe5a04a;
inline constexpr QRgb ClassTilePressed = 0xcf8c39;
inline constexpr QRgb GradeTile = 0x6cbf6a;
inline constexpr QRgb GradeTilePressed = 0x59a857;
inline constexpr QRgb StatisticsTile = 0x5aa7dd;
inline constexpr QRgb StatisticsTilePressed = 0x4892c6;
inline constexpr QRgb CollectTile = 0xe87a8a;
inline constexpr QRgb CollectTilePressed = 0xd36676;

// Translucent colours (alpha first, as QColor::fromRgba takes them).
inline constexpr QRgb TitleWash = 0x1e724e26;   // a text button with the keyboard on it
inline constexpr QRgb ScrimLight = 0x5a000000;  // behind a busy indicator that blocks
inline constexpr QRgb Scrim = 0x64000000;       // behind an alert or a sheet
inline constexpr QRgb ScrimDialog = 0x4d000000; // behind the grading alert
inline constexpr QRgb PictureMark = 0x6e000000; // over a picture that failed or is chosen
inline constexpr QRgb CropShade = 0x96000000;   // outside the crop circle
inline constexpr QRgb CropGrid = 0x5affffff;    // the crop circle's outline
inline constexpr QRgb HudBackground = 0xbe000000;
inline constexpr QRgb ToastBackground = 0xc8000000;

// The names style sheets use: "frame(title)" becomes TitleColor ("#724e26"), "frame(titleWash)"
// an rgba().
constexpr QRgb opaque(QRgb rgb) {
    return 0xff000000 | rgb;
}
struct NamedColor {
    const char *token;
    QRgb rgba;
};
inline constexpr NamedColor StyleColors[] = {
    {"title", opaque(TitleColor)},
    {"titlePressed", opaque(TitlePressed)},
    {"titleLight", opaque(TitleLight)},
    {"titleGlow", opaque(TitleGlow)},
    {"titleWash", TitleWash},
    {"white", opaque(White)},
    {"label", opaque(LabelColor)},
    {"text", opaque(SheetTextColor)},
    {"detail", opaque(DetailGrey)},
    {"menuGrey", opaque(MenuGrey)},
    {"muted", opaque(MutedGrey)},
    {"caption", opaque(SheetTitleColor)},
    {"faded", opaque(FadedText)},
    {"lightGrey", opaque(LightGrey)},
    {"hairline", opaque(HairlineColor)},
    {"fadedLine", opaque(FadedLine)},
    {"menuLine", opaque(MenuLine)},
    {"paleLine", opaque(PaleLine)},
    {"fieldLine", opaque(FieldLine)},
    {"pressedGrey", opaque(PressedGrey)},
    {"selectedRed", opaque(SelectedRed)},
    {"alertRed", opaque(AlertRed)},
    {"toolbar", opaque(ToolbarBackground)},
    {"cover", opaque(CoverBackground)},
    {"selection", opaque(SelectionTint)},
    {"pressedRow", opaque(PressedRow)},
    {"headerTop", opaque(HeaderTop)},
    {"headerText", opaque(HeaderText)},
    {"headerFocus", opaque(HeaderFocus)},
    {"classTile", opaque(ClassTile)},
    {"classTilePressed", opaque(ClassTilePressed)},
    {"gradeTile", opaque(GradeTile)},
    {"gradeTilePressed", opaque(GradeTilePressed)},
    {"statisticsTile", opaque(StatisticsTile)},
    {"statisticsTilePressed", opaque(StatisticsTilePressed)},
    {"collectTile", opaque(CollectTile)},
    {"collectTilePressed", opaque(CollectTilePressed)},
};

// How far a list row's focus ring (TitleColor) sits inside the row.
inline constexpr int FocusRingInset = 2;

inline constexpr int NavigationTitlePixelSize = 17;
inline constexpr int RightButtonPixelSize = 15;
inline constexpr int RightButtonHeight = 30;
inline constexpr int RightButtonMeasureHeight = 21;
inline constexpr int DefaultImageButtonSide = 20;
inline constexpr int BackButtonWidth = 49;
inline constexpr int BackButtonHeight = 17;
inline constexpr int SegmentWidth = 180;
inline constexpr int SegmentHeight = 30;
inline constexpr int SegmentPixelSize = 14;
inline constexpr int NothingImageWidth = 127;
inline constexpr int NothingImageHeight = 122;
inline constexpr int NothingViewTag = 500;
inline constexpr int BarItemMargin = 8;

inline constexpr int TransitionMilliseconds = 250;

} // namespace FrameStyle
