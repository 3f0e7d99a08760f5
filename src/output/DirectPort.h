#pragma once

#include <string>

#include "printing/TicketBuffers.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// Writes the ticket text RTF to the direct port (a device or file name):
// ESC @, ESC ! "0", the text in the code page, GS V 66 0. Sets
// ticket.PrintFailed; a failure is logged and shown as "Printer Error !!!".
void PrintDirectTicket(TicketBuffers& ticket, const std::string& directPort, int codePage,
                       const PrintLog& log, Operator& op);

}  // namespace kps
