#pragma once

#include <string>
#include <vector>

#include "output/SystemPrinter.h"

namespace kps {

// One line as composition draws it on a system printer.
struct SystemPrinterLine {
    std::string fontName;
    int red = 0;
    int green = 0;
    int blue = 0;
    std::string text;
};

// A system printer that keeps the lines of its job instead of printing
// them, for a picture of the page.
class SystemPrinterPage final : public SystemPrinter {
  public:
    std::vector<std::string> PrinterNames() override { return {}; }
    void SelectPrinter(const std::string&) override {}
    void SetFontName(const std::string& fontName) override { next_.fontName = fontName; }
    void SetColour(int red, int green, int blue) override;
    void PrintLine(const std::string& text) override;
    bool EndJob() override { return true; }

    const std::vector<SystemPrinterLine>& Lines() const { return lines_; }

  private:
    SystemPrinterLine next_;
    std::vector<SystemPrinterLine> lines_;
};

// Draws recorded lines on `printer`, each in its font and colour.
void PrintPage(SystemPrinter& printer, const std::vector<SystemPrinterLine>& lines);

}  // namespace kps
