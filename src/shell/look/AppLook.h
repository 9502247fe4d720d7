#pragma once

// The program's look, the same under every desktop: Qt's Fusion style as the base (the desktop's
// own style would turn the program's stock widgets into its own), the program's colours on top of
// Fusion's palette, and the font that draws Chinese with Chinese glyph forms.
namespace AppLook {

// Once, right after the application object is made.
void apply();

} // namespace AppLook
