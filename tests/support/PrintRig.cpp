#include "support/PrintRig.h"

#include "support/FileBytes.h"

namespace kps::test {

PrintRig::PrintRig(Connection& db, const std::string& folder)
    : log(folder, clock),
      window(db),
      opos(posPrinter, pinger, pause, log, op),
      ctx{db, log, clock, op, window, systemPrinter, opos, codes, device, ticket, divert} {}

std::string PrintRig::LogText() const {
    return ReadBytes(log.TodayFile());
}

}  // namespace kps::test
