#pragma once

#include "dialogs/TRDIVET.h"
#include "reprint/ReprintStore.h"
#include "sending/DivertState.h"
#include "sending/PrinterStates.h"
#include "sending/TicketReprinter.h"
#include "startup/Clock.h"
#include "startup/PrintLog.h"
#include "status/StatusActions.h"

namespace kps {

// The status page's actions, on the tick thread, through what the window's
// buttons use: the cancelled printers, the reprinter and the divert dialog.
// Each is logged with the address that asked.
class ServerStatusActions final : public StatusActionHandler {
  public:
    struct Parts {
        DivertState& divert;
        PrinterStates& states;
        TicketReprinter& reprinter;
        TRDIVET& dialog;
        const PrintLog& log;
        const Clock& clock;
        const ReprintStore& reprints;
    };

    explicit ServerStatusActions(const Parts& parts) : parts_(parts) {}

    StatusActionOutcome Run(const StatusAction& action) override;

  private:
    StatusActionOutcome Answer(const StatusAction& action);
    StatusActionOutcome Reprint(const StatusAction& action);

    Parts parts_;
};

}  // namespace kps
