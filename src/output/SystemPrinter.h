#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kps {

// A printer installed in the operating system (printing type "W").
class SystemPrinter {
  public:
    virtual ~SystemPrinter() = default;

    // Device names of the installed printers, in the platform's order.
    virtual std::vector<std::string> PrinterNames() = 0;

    // Makes the named printer (one of PrinterNames) the current printer.
    virtual void SelectPrinter(const std::string& name) = 0;

    virtual void SetFontName(const std::string& fontName) = 0;
    virtual void SetColour(int red, int green, int blue) = 0;

    // Prints the text and a line end below the previous line; the first line
    // opens a job.
    virtual void PrintLine(const std::string& text) = 0;

    // Ends the job: the page or pages go to the printer. False when the job
    // could not be handed to the printer.
    virtual bool EndJob() = 0;
};

// Makes a system printer of its own for each caller (each printer's lane).
using SystemPrinterFactory = std::function<std::unique_ptr<SystemPrinter>()>;

// Makes current the first installed printer whose name, trimmed and in
// capitals, equals `deviceName` trimmed and in capitals; with no match the
// current printer stays. True when one matched.
bool SelectSystemPrinterByName(SystemPrinter& printer, const std::string& deviceName);

}  // namespace kps
