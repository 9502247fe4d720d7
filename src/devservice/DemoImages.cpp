#include "DemoImages.h"

namespace DemoImages {

QByteArray bookCoverPng(const QString &title, int seed) {
    Q_UNUSED(title);
    Q_UNUSED(seed);
    return {};
}

QByteArray portraitPng(const QString &name, int seed) {
    Q_UNUSED(name);
    Q_UNUSED(seed);
    return {};
}

QByteArray reflectionPicturePng(const QString &caption, int seed, bool thumbnail) {
    Q_UNUSED(caption);
    Q_UNUSED(seed);
    Q_UNUSED(thumbnail);
    return {};
}

} // namespace DemoImages
