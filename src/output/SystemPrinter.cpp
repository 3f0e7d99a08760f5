#include "output/SystemPrinter.h"

#include "text/Text.h"

namespace kps {

bool SelectSystemPrinterByName(SystemPrinter& printer, const std::string& deviceName) {
    const std::string wanted = UpperCase(Trim(deviceName));
    for (const std::string& name : printer.PrinterNames()) {
        if (UpperCase(Trim(name)) == wanted) {
            printer.SelectPrinter(name);
            return true;
        }
    }
    return false;
}

}  // namespace kps
