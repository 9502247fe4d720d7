#pragma once

#include <QRgb>

// The values every screen shares: sizes in logical pixels (one design point each), colours as
// RGB values.
namespace FrameStyle {

inline constexpr int WindowWidth = 375;
inline constexpr int WindowHeight = 667;
inline constexpr int NavigationBarHeight = 44;
inline constexpr int TabBarHeight = 49;
inline constexpr int InputToolbarHeight = 44;

// Every colour of the frame, one name and one value each.
inline constexpr QRgb TitleColor = 0x724e26;      // navigation titles, text buttons, chosen segment
inline constexpr QRgb BackgroundColor = 0xF0F0F0; // screen background
inline constexpr QRgb TabTitleColor = 0x3c3c3c;   // tab titles, both states
inline constexpr QRgb NavigationBarFallback = 0xF7F3EC; // shown when "nav_bg" is missing
inline constexpr QRgb HairlineColor = 0xC8C7CC;
inline constexpr QRgb DarkGrey = 0x555555;    // unchosen segments, the guide's button
inline constexpr QRgb LightGrey = 0x999999;   // the guide's button border
inline constexpr QRgb SelectedRed = 0xE81D1D; // a chosen selectable button, destructive choices
inline constexpr QRgb SheetTextColor = 0x333333;
inline constexpr QRgb SheetTitleColor = 0x8f8f8f;
inline constexpr QRgb SheetBackground = 0xE5E5E5;
inline constexpr QRgb ToolbarBackground = 0xF7F7F7;
inline constexpr QRgb DisabledText = 0xBBBBBB;

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
