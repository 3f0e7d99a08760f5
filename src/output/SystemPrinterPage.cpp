#include "output/SystemPrinterPage.h"

namespace kps {

void SystemPrinterPage::SetColour(int red, int green, int blue) {
    next_.red = red;
    next_.green = green;
    next_.blue = blue;
}

void SystemPrinterPage::PrintLine(const std::string& text) {
    next_.text = text;
    lines_.push_back(next_);
}

void PrintPage(SystemPrinter& printer, const std::vector<SystemPrinterLine>& lines) {
    for (const SystemPrinterLine& line : lines) {
        printer.SetFontName(line.fontName);
        printer.SetColour(line.red, line.green, line.blue);
        printer.PrintLine(line.text);
    }
}

}  // namespace kps
