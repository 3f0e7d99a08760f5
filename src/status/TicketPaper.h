#pragma once

#include <memory>
#include <string>
#include <vector>

#include "output/EscPosPaper.h"
#include "output/LineRasterizer.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"

namespace kps {

// Reads a device's kept tickets as their paper shows them: each ticket's
// lines rendered as its printer gets them, in the encoding `printers` gives
// the device (its double-byte text, its lines drawn in the registry's raster
// font), or in `codePage` without a registry, and read back at the ticket's
// width. A direct port's text passes the same way. Made for one request:
// the status server answers on several threads.
class KeptTicketReader {
  public:
    KeptTicketReader(const std::string& device, int codePage, const PosPrinterRegistry* printers);
    ~KeptTicketReader();
    KeptTicketReader(const KeptTicketReader&) = delete;
    KeptTicketReader& operator=(const KeptTicketReader&) = delete;

    std::vector<PaperLine> Paper(const StoredTicket& ticket);

  private:
    PosDevice printer_;
    std::unique_ptr<LineRasterizer> rasterizer_;  // for a printer whose lines are drawn
};

}  // namespace kps
