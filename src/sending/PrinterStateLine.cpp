#include "sending/PrinterStateLine.h"

namespace kps {
namespace {

constexpr const char* kAnswersAgain = "answers again: Resume?";

std::string PrinterLine(const std::string& device, const std::string& words) {
    return "Printer '" + device + "' " + words;
}

}  // namespace

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
    return status.answersAgain ? std::string("suspended, ") + kAnswersAgain : "suspended";
}

std::string PrinterStateLine(const PrinterStatus& status) {
    return PrinterLine(status.device, DescribePrinterState(status));
}

std::string AnswersAgainLine(const std::string& device) {
    return PrinterLine(device, kAnswersAgain);
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
