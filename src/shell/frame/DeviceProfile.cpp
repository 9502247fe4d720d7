#include "DeviceProfile.h"

#include "TextRules.h"

#include <array>

namespace {
struct Known {
    const char *name;
    QSize size;
    bool tablet;
};

constexpr std::array<Known, 5> KnownDevices{{
    {"iphone4", QSize(320, 480), false},
    {"iphone5", QSize(320, 568), false},
    {"iphone6", QSize(375, 667), false},
    {"iphone6p", QSize(414, 736), false},
    {"ipad", QSize(768, 1024), true},
}};

DeviceProfile &currentProfile() {
    static DeviceProfile profile = DeviceProfile::standard();
    return profile;
}
} // namespace

int DeviceProfile::deviceModel() const {
    const bool landscape = orientation == DeviceOrientation::LandscapeLeft ||
                           orientation == DeviceOrientation::LandscapeRight;
    return TextRules::deviceModel(landscape ? screenSize.transposed() : screenSize, orientation,
                                  tablet);
}

std::optional<DeviceProfile> DeviceProfile::fromName(const QString &name) {
    for (const Known &k : KnownDevices) {
        if (name == QLatin1String(k.name)) {
            DeviceProfile p;
            p.name = name;
            p.screenSize = k.size;
            p.tablet = k.tablet;
            return p;
        }
    }
    return std::nullopt;
}

QStringList DeviceProfile::names() {
    QStringList list;
    for (const Known &k : KnownDevices)
        list << QLatin1String(k.name);
    return list;
}

DeviceProfile DeviceProfile::standard() {
    return *fromName(QStringLiteral("iphone6"));
}

const DeviceProfile &DeviceProfile::current() {
    return currentProfile();
}

void DeviceProfile::setCurrent(const DeviceProfile &profile) {
    currentProfile() = profile;
}
