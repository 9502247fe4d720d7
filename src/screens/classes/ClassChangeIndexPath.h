#pragma once

#include <QtGlobal>

// A row of the class switcher.
struct ClassChangeIndexPath {
    qint64 row = 0;

    static ClassChangeIndexPath indexPathWithRow(qint64 row) { return ClassChangeIndexPath{row}; }
    friend bool operator==(const ClassChangeIndexPath &, const ClassChangeIndexPath &) = default;
};
