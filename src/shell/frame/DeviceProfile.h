#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

enum class DeviceOrientation {
    Unknown,
    Portrait,
    PortraitUpsideDown,
    LandscapeLeft,
    LandscapeRight
};

// The device the client pretends to run on: the window's default size in points (1 point = 1 px)
// and whether it is a tablet. Chosen once at start (teacher-client --device); the guide picks its
// images by it.
struct DeviceProfile {
    QString name;
    QSize screenSize; // in portrait
    bool tablet = false;
    DeviceOrientation orientation = DeviceOrientation::Portrait;

    // The device class of this profile (see TextRules::deviceModel).
    int deviceModel() const;

    // "iphone4", "iphone5", "iphone6", "iphone6p", "ipad"; nothing for any other name.
    static std::optional<DeviceProfile> fromName(const QString &name);
    static QStringList names();

    // The profile in use: standard() ("iphone6") until setCurrent() says otherwise.
    static const DeviceProfile &current();
    static DeviceProfile standard();
    static void setCurrent(const DeviceProfile &profile);
};
