#include "Export.h"

#include "FrameStyle.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBoundaryFinder>

#include <algorithm>

const ExportTable &ExportDocument::currentView() const {
    static const ExportTable none;
    return current >= 0 && current < views.size() ? views.at(current) : none;
}

namespace Export {
namespace {

// The layout of a drawn table, in logical pixels.
constexpr int Margin = 16;
constexpr int TitleHeight = 28;
constexpr int SubtitleHeight = 20;
constexpr int Gap = 8;
constexpr int HeaderHeight = 28;
constexpr int RowHeight = 26;
constexpr int BarHeight = 10;
constexpr int BarRowExtra = 16;
// A page lays the table out this wide, then scales it onto the paper.
constexpr int PageLayoutWidth = 540;

QFont pixelFont(int px, bool bold = false) {
    QFont font;
    font.setPixelSize(px);
    font.setBold(bold);
    return font;
}

bool hasBars(const ExportTable &table) {
    return !table.bars.isEmpty() && table.bars.size() == table.rows.size();
}

int rowHeight(const ExportTable &table) {
    return RowHeight + (hasBars(table) ? BarRowExtra : 0);
}

// The title, the subtitles, the header and the margins: what every page of the table repeats.
qint64 chromeHeight(const ExportTable &table) {
    return 2 * Margin + TitleHeight + qint64(table.subtitles.size()) * SubtitleHeight + Gap +
           HeaderHeight;
}

qint64 contentHeight(const ExportTable &table, qint64 rows) {
    return chromeHeight(table) + rows * rowHeight(table);
}

qint64 contentHeight(const ExportTable &table) {
    return contentHeight(table, table.rows.size());
}

qsizetype columnCount(const ExportTable &table) {
    qsizetype count = table.headers.size();
    for (const QStringList &row : table.rows)
        count = std::max(count, row.size());
    return std::max<qsizetype>(count, 1);
}

// The first column (a name) is twice as wide as each of the others.
QRectF cellRect(qsizetype column, qsizetype count, qreal top, qreal height, qreal inner) {
    const qreal unit = inner / qreal(count + 1);
    const qreal left = Margin + (column == 0 ? 0 : unit * qreal(column + 1));
    return {left, top, column == 0 ? 2 * unit : unit, height};
}

void drawLine(QPainter &painter, const QFont &font, const QRectF &rect, const QString &text) {
    painter.setFont(font);
    const QString shown =
        QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max<qreal>(0, rect.width() - 4));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

void drawRow(QPainter &painter, const QFont &font, const QStringList &cells, qsizetype count,
             qreal top, qreal inner) {
    for (qsizetype column = 0; column < cells.size(); ++column)
        drawLine(painter, font, cellRect(column, count, top, RowHeight, inner), cells.at(column));
}

// Rows [first, first + rows) under the title and the header.
void paintTable(QPainter &painter, const ExportTable &table, qreal width, qsizetype first,
                qsizetype rows) {
    painter.fillRect(QRectF(0, 0, width, qreal(contentHeight(table, rows))),
                     QColor(FrameStyle::White));
    const qreal inner = std::max<qreal>(0, width - 2 * Margin);
    qreal y = Margin;
    painter.setPen(QColor(FrameStyle::TitleColor));
    drawLine(painter, pixelFont(18, true), QRectF(Margin, y, inner, TitleHeight), table.title);
    y += TitleHeight;
    painter.setPen(QColor(FrameStyle::MenuGrey));
    for (const QString &line : table.subtitles) {
        drawLine(painter, pixelFont(13), QRectF(Margin, y, inner, SubtitleHeight), line);
        y += SubtitleHeight;
    }
    y += Gap;
    const qsizetype count = columnCount(table);
    painter.setPen(QColor(FrameStyle::SheetTextColor));
    drawRow(painter, pixelFont(13, true), table.headers, count, y, inner);
    y += HeaderHeight;
    painter.fillRect(QRectF(Margin, y - 1, inner, 1), QColor(FrameStyle::ChartLine));

    const bool bars = hasBars(table);
    const double top = bars ? *std::max_element(table.bars.cbegin(), table.bars.cend()) : 0;
    const QFont body = pixelFont(14);
    for (qsizetype row = first; row < first + rows; ++row) {
        painter.setPen(QColor(FrameStyle::SheetTextColor));
        drawRow(painter, body, table.rows.at(row), count, y, inner);
        const double value = bars ? table.bars.at(row) : 0;
        // A value that is no finite positive number draws no bar, as on the screen.
        if (top > 0 && value > 0 && value <= top) {
            painter.fillRect(QRectF(Margin, y + RowHeight, inner * value / top, BarHeight),
                             QColor(FrameStyle::HighlightColor));
        }
        y += rowHeight(table);
        painter.fillRect(QRectF(Margin, y - 1, inner, 1), QColor(FrameStyle::ChartLine));
    }
}

Result saveWith(const QString &path, const std::function<bool(QIODevice &)> &fill) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (!fill(file)) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QCoreApplication::translate("Export", "无法生成内容");
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace

QString csvField(const QString &text, bool keptAsText) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r\uFF1D\uFF0B\uFF0D\uFF20");
    static const QRegularExpression plainNumber(QStringLiteral("^-[0-9]+(\\.[0-9]+)?$"));
    QString field = text;
    const bool formula = !field.isEmpty() && formulaStarts.contains(field.front()) &&
                         !plainNumber.match(field).hasMatch();
    if (formula || (keptAsText && !field.isEmpty()))
        field.prepend(QLatin1Char('\''));
    static const QString needsQuotes = QStringLiteral(",\"\r\n");
    if (std::any_of(field.cbegin(), field.cend(),
                    [](QChar c) { return needsQuotes.contains(c); })) {
        field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        field = QLatin1Char('"') + field + QLatin1Char('"');
    }
    return field;
}

QByteArray csv(const ExportTable &table) {
    QString text;
    const auto line = [&text, &table](const QStringList &cells, bool header) {
        QStringList fields;
        for (qsizetype column = 0; column < cells.size(); ++column)
            fields.append(
                csvField(cells.at(column), !header && table.textColumns.contains(int(column))));
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    line(table.headers, true);
    for (const QStringList &row : table.rows)
        line(row, false);
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

bool fitsPicture(const ExportTable &table, int width) {
    const qint64 height = contentHeight(table);
    // 32,767 real pixels is as tall as Qt draws.
    return height * 2 <= 32767 &&
           qint64(std::max(width, 2 * Margin + 1)) * height * 4 <= MaxPicturePixels;
}

QString tooLongForPictureText() {
    return QCoreApplication::translate("Export", "列表太长，无法存为图片，请导出 PDF 或 CSV");
}

QImage image(const ExportTable &table, int width) {
    width = std::max(width, 2 * Margin + 1);
    if (!fitsPicture(table, width))
        return {};
    QImage picture(QSize(width, int(contentHeight(table))) * 2,
                   QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return {};
    picture.setDevicePixelRatio(2);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paintTable(painter, table, width, 0, table.rows.size());
    return picture;
}

QList<PagePlan> planPages(const QList<ExportTable> &views, QSizeF page) {
    QList<PagePlan> plans;
    const qreal widthScale = page.width() / PageLayoutWidth;
    for (int view = 0; view < views.size(); ++view) {
        const ExportTable &table = views.at(view);
        const int rows = int(table.rows.size());
        const qreal fitted = std::min(widthScale, page.height() / qreal(contentHeight(table)));
        if (fitted >= widthScale * MinPageShrink) {
            plans.append({view, 0, rows, fitted, qreal(contentHeight(table)) * fitted});
            continue;
        }
        const qreal scale = widthScale * MinPageShrink;
        const int perPage = std::max(
            1, int((page.height() / scale - qreal(chromeHeight(table))) / rowHeight(table)));
        for (int first = 0; first < rows; first += perPage) {
            const int count = std::min(perPage, rows - first);
            plans.append({view, first, count, scale, qreal(contentHeight(table, count)) * scale});
        }
    }
    return plans;
}

bool paintPages(QPagedPaintDevice *device, const QList<ExportTable> &views) {
    if (!device || views.isEmpty())
        return false;
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QList<PagePlan> plans = planPages(views, QSizeF(device->width(), device->height()));
    for (qsizetype i = 0; i < plans.size(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        const PagePlan &plan = plans.at(i);
        painter.save();
        painter.scale(plan.scale, plan.scale);
        paintTable(painter, views.at(plan.view), PageLayoutWidth, plan.firstRow, plan.rowCount);
        painter.restore();
    }
    return painter.end();
}

Result write(Format format, const QString &path, const ExportDocument &document) {
    switch (format) {
    case Format::Csv: {
        const QByteArray bytes = csv(document.currentView());
        return saveWith(path, [&](QIODevice &file) { return file.write(bytes) == bytes.size(); });
    }
    // The checks run inside the write, so a file already there stays as it was when one fails.
    case Format::Png: {
        if (!fitsPicture(document.currentView(), document.screenWidth))
            return {false, tooLongForPictureText()};
        const QImage picture = image(document.currentView(), document.screenWidth);
        return saveWith(
            path, [&](QIODevice &file) { return !picture.isNull() && picture.save(&file, "PNG"); });
    }
    case Format::Pdf:
        return saveWith(path, [&](QIODevice &file) {
            QPdfWriter writer(&file);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setTitle(document.currentView().title);
            writer.setCreator(QStringLiteral("teacher-client"));
            return paintPages(&writer, document.views);
        });
    }
    return {false, {}};
}

QString extension(Format format) {
    switch (format) {
    case Format::Csv:
        return QStringLiteral("csv");
    case Format::Png:
        return QStringLiteral("png");
    case Format::Pdf:
        break;
    }
    return QStringLiteral("pdf");
}

QString suggestedFileName(const QStringList &parts, QDate date, Format format) {
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    QStringList kept;
    for (const QString &part : parts) {
        QString clean;
        // By code point: an emoji or a rare character is two UTF-16 units, neither printable.
        for (const char32_t c : part.toUcs4()) {
            if (QChar::isPrint(c) && !(c < 0x80 && refused.contains(QLatin1Char(char(c)))))
                clean += QString::fromUcs4(&c, 1);
            else
                clean += QLatin1Char('-');
        }
        clean = clean.trimmed();
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, clean);
        qsizetype end = 0;
        while (characters.toNextBoundary() >= 0 && characters.position() <= 40)
            end = characters.position();
        clean.truncate(end);
        if (!clean.isEmpty())
            kept.append(clean);
    }
    kept.append(date.toString(Qt::ISODate));
    QString name = kept.join(QLatin1Char('-')) + QLatin1Char('.') + extension(format);
    // A leading dot hides the file, a leading dash reads as an option.
    static const QRegularExpression hiding(QStringLiteral("^[.\\- ]+"));
    return name.remove(hiding);
}

QString suggestedPath(const QStringList &parts, QDate date, Format format) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder + QLatin1Char('/') + suggestedFileName(parts, date, format);
}

} // namespace Export
