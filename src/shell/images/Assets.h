#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// Image assets shipped in the program's resources (":/assets/<name>.svg", else ".png"). Screens
// name assets the way the layouts do, sometimes with a ".png" suffix ("guide_iphone6_1.png"); the
// suffix is dropped before the lookup. A name that is not shipped gives a null pixmap or icon, so
// the caller simply shows no image.
class Assets {
public:
    // The asset rendered at `size` logical pixels (its own size when `size` is empty), sharp on the
    // screen's device pixel ratio. Rendered pixmaps are cached by name, size and ratio.
    static QPixmap pixmap(const QString &name, QSize size = {});
    // A scalable icon of the asset (tab items, buttons).
    static QIcon icon(const QString &name);
    static bool exists(const QString &name);
    // The asset's natural size in logical pixels, empty when it is not shipped.
    static QSize naturalSize(const QString &name);
    // The resource path the name resolves to (":/assets/nav_bg.svg"), empty when not shipped.
    static QString resourcePath(const QString &name);
    // The lookup key of a name: without a ".png"/".svg" suffix; empty for names that cannot be
    // an asset (empty, or holding a path separator).
    static QString normalizedName(const QString &name);
};
