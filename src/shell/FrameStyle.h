#pragma once

#include <QRgb>
#include <QString>

// The values every screen shares: sizes in logical pixels (one design point each), colours as
// RGB values.
namespace FrameStyle {

inline constexpr int WindowWidth = 375;
inline constexpr int WindowHeight = 667;
inline constexpr int NavigationBarHeight = 44;
inline constexpr int TabBarHeight = 49;
inline constexpr int InputToolbarHeight = 44;

inline constexpr QRgb TitleColor = 0x724e26;      // navigation titles and right-hand text buttons
inline constexpr QRgb BackgroundColor = 0xF0F0F0; // screen background
// The same two as the screens name them, read through the hex-colour rule.
inline const QString TitleColorHex = QStringLiteral("724e26");
inline const QString BackgroundColorHex = QStringLiteral("F0F0F0");
inline constexpr QRgb NavigationBarFallback = 0xF7F3EC; // shown when "nav_bg" is missing
inline constexpr QRgb HairlineColor = 0xC8C7CC;
inline constexpr QRgb DarkGrey = 0x555555;
inline constexpr QRgb SegmentFill = 0x724e26;

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
