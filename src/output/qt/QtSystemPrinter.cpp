#include "output/qt/QtSystemPrinter.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "output/qt/QtPrinterFont.h"

namespace kps {
namespace {

constexpr qreal kBasePointSize = 9;
constexpr qreal kMarginMm = 10;

}  // namespace

QtSystemPrinter::QtSystemPrinter()
    : current_(QPrinterInfo::defaultPrinterName().toStdString()),
      font_(PrinterFontFor(QString(), kBasePointSize)) {}

QtSystemPrinter::~QtSystemPrinter() {
    CloseJob();
}

SystemPrinterFactory QtSystemPrinter::Factory() {
    QPrinterInfo::defaultPrinterName();  // loads the print support on this thread
    return [] { return std::make_unique<QtSystemPrinter>(); };
}

std::vector<std::string> QtSystemPrinter::PrinterNames() {
    std::vector<std::string> names;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        names.push_back(info.printerName().toStdString());
    }
    return names;
}

void QtSystemPrinter::SelectPrinter(const std::string& name) {
    current_ = name;
}

void QtSystemPrinter::SetFontName(const std::string& fontName) {
    font_ = PrinterFontFor(QString::fromStdString(fontName), kBasePointSize);
}

void QtSystemPrinter::SetColour(int red, int green, int blue) {
    colour_ = QColor(red, green, blue);
}

bool QtSystemPrinter::OpenJob() {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(current_));
    if (info.isNull()) {
        return false;
    }
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setDocName(QStringLiteral("Kitchen ticket"));
    printer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                        QPageLayout::Millimeter));
    if (!painter_.begin(printer_.get())) {
        printer_.reset();
        return false;
    }
    y_ = 0;
    return true;
}

void QtSystemPrinter::PrintLine(const std::string& text) {
    if (jobFailed_) {
        return;  // EndJob reports it
    }
    if (!painter_.isActive() && !OpenJob()) {
        jobFailed_ = true;
        return;
    }
    const QFontMetricsF metrics(font_, printer_.get());
    const qreal pageHeight =
        printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
    if (y_ > 0 && y_ + metrics.lineSpacing() > pageHeight) {
        if (!printer_->newPage()) {
            jobFailed_ = true;
            return;
        }
        y_ = 0;
    }
    painter_.setFont(font_);
    painter_.setPen(colour_);
    painter_.drawText(QPointF(0, y_ + metrics.ascent()), QString::fromStdString(text));
    y_ += metrics.lineSpacing();
}

bool QtSystemPrinter::EndJob() {
    const bool failed = jobFailed_;
    jobFailed_ = false;
    if (!painter_.isActive()) {
        printer_.reset();
        return !failed;  // nothing printed since the last job is nothing to hand over
    }
    const bool handedOver = painter_.end();
    printer_.reset();
    return handedOver && !failed;
}

void QtSystemPrinter::CloseJob() {
    // A job never ended is abandoned, not printed.
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
    printer_.reset();
}

}  // namespace kps
