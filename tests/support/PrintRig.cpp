#include "support/PrintRig.h"

#include "support/FileBytes.h"

namespace kps::test {

PrintRig::PrintRig(Connection& db, const std::string& folder)
    : log(folder, clock),
      window(db),
      laneRunner(posPrinter, pinger, pause, log),
      divertRunner(divertPrinter, pinger, pause, log),
      systemRunner(systemPrinter, clock, nullptr),
      lanes(laneRunner, divertRunner, &systemRunner),
      ctx{db,     log,    clock,   op,     window,  codes, device,
          ticket, divert, records, states, journal, 1252,  ""} {}

std::string PrintRig::LogText() const {
    return ReadBytes(log.TodayFile());
}

}  // namespace kps::test
