#include "output/qt/TicketImageQt.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include "output/EscPosPaper.h"
#include "output/qt/QtPrinterFont.h"
#include "text/Text.h"

namespace kps {

namespace {

constexpr int kPixelSize = 16;
constexpr int kPageWidth = 595;  // A4 at 72 dots per inch
constexpr int kPageHeight = 842;
constexpr qreal kPagePointSize = 10;
const QColor kInk(0, 0, 0);
const QColor kRedInk(200, 0, 0);

int OffsetCells(const PaperLine& line, int columns) {
    return AlignedOffset(line.align, columns - line.Columns());
}

// A printed image scaled so that a character cell of dots fills a cell here.
QImage ScaledImage(const RasterImage& image, bool red, int cellWidth, int rowHeight) {
    QImage mono(image.widthBytes * 8, image.height, QImage::Format_Mono);
    mono.setColor(0, QColor(Qt::white).rgb());
    mono.setColor(1, (red ? kRedInk : kInk).rgb());
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.widthBytes * 8; ++x) {
            mono.setPixel(x, y, image.Dot(x, y) ? 1 : 0);
        }
    }
    return mono.scaled(mono.width() * cellWidth / kColumnDots, mono.height() * rowHeight / kRowDots,
                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

TicketImageQt::TicketImageQt() : font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    font_.setPixelSize(kPixelSize);
    const QFontMetrics metrics(font_);
    rowHeight_ = metrics.height();
    cellWidth_ = metrics.horizontalAdvance(QLatin1Char('M'));
}

QImage TicketImageQt::DrawEscPos(std::string_view bytes, int columns,
                                 const std::string& doubleByteSet) const {
    const std::vector<PaperLine> lines = ReadEscPosPaper(bytes, columns, doubleByteSet);
    int rows = 0;
    int cells = columns;
    for (const PaperLine& line : lines) {
        rows += line.Height();
        cells = std::max(cells, line.image.widthBytes * 8 / kColumnDots);
    }
    QImage image(2 * kMargin + cells * cellWidth_, 2 * kMargin + rows * rowHeight_,
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font_);
    const QFontMetrics metrics(font_);
    int top = kMargin;
    for (const PaperLine& line : lines) {
        const int height = line.Height() * rowHeight_;
        if (line.cut) {
            painter.setPen(QPen(kInk, 1, Qt::DashLine));
            painter.drawLine(0, top + height / 2, image.width() - 1, top + height / 2);
            top += height;
            continue;
        }
        if (!line.image.Empty()) {
            const int left = line.ImageLeft(cells * kColumnDots) * cellWidth_ / kColumnDots;
            painter.drawImage(kMargin + left, top,
                              ScaledImage(line.image, line.imageRed, cellWidth_, rowHeight_));
            top += height;
            continue;
        }
        int x = kMargin + OffsetCells(line, columns) * cellWidth_;
        for (const PaperRun& run : line.runs) {
            const QString text = QString::fromStdString(run.text);
            painter.save();
            // Scale from the run's baseline at the bottom of the line.
            painter.translate(x, top + height - run.height * metrics.descent());
            painter.scale(run.width, run.height);
            painter.setPen(run.red ? kRedInk : kInk);
            painter.drawText(0, 0, text);
            painter.restore();
            x += static_cast<int>(DisplayWidth(run.text)) * run.width * cellWidth_;
        }
        top += height;
    }
    return image;
}

QImage TicketImageQt::DrawPage(const std::vector<SystemPrinterLine>& lines) const {
    int height = 2 * kMargin;
    for (const SystemPrinterLine& line : lines) {
        height +=
            QFontMetrics(PrinterFontFor(QString::fromStdString(line.fontName), kPagePointSize))
                .height();
    }
    QImage image(kPageWidth, std::max(height, kPageHeight), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    int top = kMargin;
    for (const SystemPrinterLine& line : lines) {
        const QFont font = PrinterFontFor(QString::fromStdString(line.fontName), kPagePointSize);
        const QFontMetrics metrics(font);
        painter.setFont(font);
        painter.setPen(QColor(line.red, line.green, line.blue));
        painter.drawText(kMargin, top + metrics.ascent(), QString::fromStdString(line.text));
        top += metrics.height();
    }
    return image;
}

}  // namespace kps
