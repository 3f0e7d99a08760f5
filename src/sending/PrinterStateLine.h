#pragma once

#include <ostream>
#include <string>

#include "sending/PrinterStates.h"
#include "startup/Clock.h"

namespace kps {

// The state in words: "printing", "not printing: cover open", "question
// pending", "suspended", "suspended, answers again: Resume?".
std::string DescribePrinterState(const PrinterStatus& status);

// "Printer 'BAR1' not printing: cover open", "Printer 'BAR1' printing", ...
std::string PrinterStateLine(const PrinterStatus& status);

// "Printer 'BAR1' answers again: Resume?": a suspended printer that a probe
// found answering.
std::string AnswersAgainLine(const std::string& device);

// "Standby: another server prints for this outlet", or "Printing for this
// outlet" once the server holds the outlet's lease.
std::string StandbyLine(bool standby);

// The headless server's printer states: one "[hh:mm:ss] " line on standard
// output per change of a device's state or reason, or of the standby.
class ConsolePrinterStateWriter final : public PrinterStatesListener {
  public:
    ConsolePrinterStateWriter(const Clock& clock, std::ostream& out);

    void Changed(const PrinterStatus& status) override;
    void Changed() override {}
    void StandbyChanged(bool standby) override;

  private:
    const Clock& clock_;
    std::ostream& out_;
};

}  // namespace kps
