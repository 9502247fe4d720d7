#pragma once

#include "FrameStyle.h"

#include <QDate>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;
class QImage;
class QPagedPaintDevice;
class QPainter;

// What a screen shows, as a neutral table the export knows how to write: the screen fills it from
// its own rows and words, and never learns about files, pages or pixels. `bars`, when it holds one
// value per row, draws each row's bar against the largest value (pictures and pages only).
struct ExportTable {
    QString title;
    QStringList subtitles; // the view, the term, the filter, the average...
    QStringList headers;
    QList<QStringList> rows;
    QList<double> bars;
    // Columns a spreadsheet must keep as the text they are (a phone number: its leading zeros, its
    // digits past the fifteenth), whatever they look like.
    QList<int> textColumns;
};

// Everything a screen can hand over at once: its views (a PDF or a print gets one page each), the
// one in view (a CSV or a picture holds that one), the words of a suggested file name and the
// width the screen is drawn at (a picture is twice that).
struct ExportDocument {
    QList<ExportTable> views;
    int current = 0;
    QStringList nameParts;
    int screenWidth = FrameStyle::WindowWidth;

    const ExportTable &currentView() const;
};

// Writing a table out: CSV for spreadsheets, a PNG picture, a PDF with a page per view. Files are
// written all or nothing (QSaveFile): a refused folder, a full disk or a failed drawing leaves no
// file behind, and the result says why.
namespace Export {

enum class Format { Csv, Png, Pdf };

struct Result {
    bool ok = false;
    QString error; // the system's reason when not ok
};

// One CSV field: a text a spreadsheet would run as a formula (starting with =, +, -, @, their
// full-width forms, which spreadsheets read the same, a tab or a carriage return) gets a leading
// apostrophe, unless it is a plain number ("-5"); so does every text of a column `keptAsText`,
// the mark spreadsheets take for "text, as typed". A field holding a comma, a quote or a line
// break is quoted with its quotes doubled.
QString csvField(const QString &text, bool keptAsText = false);
// The header row and the rows, CRLF after each line, UTF-8 behind a byte-order mark (so a
// spreadsheet does not read the Chinese as another code page).
QByteArray csv(const ExportTable &table);

// A picture holds at most this many real pixels (64 MB): a long list drawn twice a wide
// window's width would take hundreds of megabytes. A PDF or a CSV holds it instead.
constexpr qint64 MaxPicturePixels = 16LL * 1024 * 1024;
bool fitsPicture(const ExportTable &table, int width);
QString tooLongForPictureText();
// The table drawn at `width` logical pixels, at twice that in real pixels, as tall as it needs;
// a null image when it does not fit (fitsPicture()).
QImage image(const ExportTable &table, int width);

// One page of a PDF or a print: rows [firstRow, firstRow + rowCount) of views[view] under the
// view's title and header, drawn at `scale` (device units a layout pixel), `height` units tall.
struct PagePlan {
    int view = 0;
    int firstRow = 0;
    int rowCount = 0;
    qreal scale = 1;
    qreal height = 0;
};
// A view shrinks to fit its page down to MinPageShrink of the scale that fits the page's width
// (a class of 60 fits one page); a longer one goes on over further pages at that scale, with its
// title and header on each.
constexpr qreal MinPageShrink = 0.4;
QList<PagePlan> planPages(const QList<ExportTable> &views, QSizeF page);
// The pages of planPages() on `device` (a PDF writer, a printer).
bool paintPages(QPagedPaintDevice *device, const QList<ExportTable> &views);

// Writes the document's current view (CSV, PNG) or every view (PDF) to `path`.
Result write(Format format, const QString &path, const ExportDocument &document);

// "报表-年级-2026-2027学年上学期-2026-12-07.csv": the parts that are not empty, with characters a
// file system refuses made dashes and each cut to 40 UTF-16 units between two characters, then
// the date and the format's extension; never a hidden name (no leading dot).
QString suggestedFileName(const QStringList &parts, QDate date, Format format);
// The same in the user's documents folder.
QString suggestedPath(const QStringList &parts, QDate date, Format format);
QString extension(Format format);

} // namespace Export
