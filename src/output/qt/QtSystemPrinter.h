#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>

#include <memory>
#include <string>
#include <vector>

#include "output/SystemPrinter.h"

class QPrinter;

namespace kps {

// The system's printers through Qt's print support (CUPS on Linux). A job is
// a narrow column of lines down the left of A4 pages; the first line opens
// it on the current printer, EndJob hands it to the printer.
class QtSystemPrinter final : public SystemPrinter {
  public:
    // The current printer starts as the system's default printer.
    QtSystemPrinter();
    ~QtSystemPrinter() override;

    // Makes one printer of this kind per call, for a lane of its own, on
    // any thread. Call it on the GUI thread: it loads Qt's print support
    // there, which two lanes must not load at once.
    static SystemPrinterFactory Factory();

    std::vector<std::string> PrinterNames() override;
    void SelectPrinter(const std::string& name) override;
    void SetFontName(const std::string& fontName) override;
    void SetColour(int red, int green, int blue) override;
    void PrintLine(const std::string& text) override;
    bool EndJob() override;

    const std::string& CurrentPrinter() const { return current_; }
    const QFont& Font() const { return font_; }

  private:
    bool OpenJob();
    void CloseJob();

    std::string current_;
    QFont font_;
    QColor colour_ = Qt::black;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    qreal y_ = 0;
    bool jobFailed_ = false;
};

}  // namespace kps
