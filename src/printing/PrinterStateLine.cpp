#include "printing/PrinterStateLine.h"

namespace kps {

std::string PrinterStateLine(const PrinterStatus& status) {
    std::string line = "Printer '" + status.device + "' ";
    switch (status.state) {
        case PrinterState::Printing:
            return line + "printing";
        case PrinterState::NotPrinting:
            return line + "not printing: " + DescribePrintFault(status.reason);
        case PrinterState::QuestionPending:
            return line + "question pending";
        case PrinterState::Suspended:
            break;
    }
    return line + "suspended";
}

ConsolePrinterStateWriter::ConsolePrinterStateWriter(const Clock& clock, std::ostream& out)
    : clock_(clock), out_(out) {}

void ConsolePrinterStateWriter::Changed(const PrinterStatus& status) {
    out_ << '[' << FormatLongTime(clock_.Now()) << "] " << PrinterStateLine(status) << std::endl;
}

}  // namespace kps
