#pragma once

#include "sending/PrintContext.h"
#include "sending/PrintJob.h"

namespace kps {

// A job of the ticket composition has just left in the ticket buffers, for
// the device loaded last: its lines, codes and where its header ends. The
// caller adds what the kind of job needs (items, notice, ...).
PrintJob ComposedJob(const PrintContext& ctx, JobKind kind);

}  // namespace kps
