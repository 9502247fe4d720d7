#pragma once

// Generated pictures for the development service: book covers, portraits and reflection
// pictures. Rendered with QImage and QPainter (no display needed), deterministic per seed, and
// kept in memory once rendered.

#include <QByteArray>
#include <QString>

namespace DemoImages {

// A cover with the title in Chinese on a colour chosen from the seed; PNG.
QByteArray bookCoverPng(const QString &title, int seed);
// A coloured circle with the name's last character; PNG.
QByteArray portraitPng(const QString &name, int seed);
// A soft scene with the caption; 160×120 for a thumbnail, else 640×480; PNG.
QByteArray reflectionPicturePng(const QString &caption, int seed, bool thumbnail);

} // namespace DemoImages
