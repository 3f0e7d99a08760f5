#include "sending/PrinterStateLine.h"

namespace kps {

std::string DescribePrinterState(const PrinterStatus& status) {
    switch (status.state) {
        case PrinterState::Printing:
            return "printing";
        case PrinterState::NotPrinting:
            return "not printing: " + DescribePrintFault(status.reason);
        case PrinterState::QuestionPending:
            return "question pending";
        case PrinterState::Suspended:
            break;
    }
    return "suspended";
}

std::string PrinterStateLine(const PrinterStatus& status) {
    return "Printer '" + status.device + "' " + DescribePrinterState(status);
}

std::string StandbyLine(bool standby) {
    return standby ? "Standby: another server prints for this outlet" : "Printing for this outlet";
}

ConsolePrinterStateWriter::ConsolePrinterStateWriter(const Clock& clock, std::ostream& out)
    : clock_(clock), out_(out) {}

void ConsolePrinterStateWriter::Changed(const PrinterStatus& status) {
    out_ << '[' << FormatLongTime(clock_.Now()) << "] " << PrinterStateLine(status) << std::endl;
}

void ConsolePrinterStateWriter::StandbyChanged(bool standby) {
    out_ << '[' << FormatLongTime(clock_.Now()) << "] " << StandbyLine(standby) << std::endl;
}

}  // namespace kps
