#pragma once

#include <string>

#include "sending/PrintJob.h"

namespace kps {

// The bytes a job puts on the wire when it prints: for a direct port the
// ticket text as DirectTicketBytes frames it, for a network receipt printer
// with a cutter each line as the ESC/POS translator renders it, then the cut.
std::string SentTicketBytes(const PrintJob& job);

}  // namespace kps
