#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Turns the bytes of an image file into pixels no larger than the caller will draw them, on any
// thread. A file may declare any size in a few bytes: one that declares more than a photo ever
// has is refused from its header, before a pixel is allocated.
namespace ImageDecoding {

constexpr int MaxSide = 12'000;
// Qt's own allocation limit (128 MB) in pixels of four bytes; beyond it decoding fails anyway.
constexpr qint64 MaxDeclaredPixels = 32LL * 1024 * 1024;

// Scaled down to fit `bound` with its aspect kept (never enlarged); a null image when the bytes
// are not an image or declare an absurd size. An empty bound leaves the size alone.
QImage decode(const QByteArray &bytes, QSize bound);

} // namespace ImageDecoding
