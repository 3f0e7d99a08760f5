#include "sending/DeviceLaneRunner.h"

namespace kps {

DeviceLaneRunner::DeviceLaneRunner(const PosPrinterRegistry& registry, const PrintLog& log,
                                   std::ostream* notices, ReprintJournal* journal)
    : printer_(registry, log),
      pinger_(9100, notices),
      runner_(printer_, pinger_, pause_, log, journal) {}

}  // namespace kps
