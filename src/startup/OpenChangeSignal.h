#pragma once

#include <functional>
#include <memory>

#include "database/ChangeSignal.h"
#include "database/Connection.h"
#include "startup/GeneralSetup.h"
#include "startup/PrintLog.h"

namespace kps {

// The change signal that fits the server's database `db` (opened from
// `setup`, whose Password is the plain one by now): SQLite's data_version,
// asked when its files are written (a line in the print log when they
// cannot be watched);
// on PostgreSQL a listener on a connection of its own when the waiting
// tables have their notifying triggers, else a line in the print log; on
// any other database the probe of [PrintServer] WakeProbeMs when set.
// nullptr: the clock alone. `wake` is called from the listener's thread.
std::unique_ptr<ChangeSignal> OpenChangeSignal(const GeneralSetup& setup, Connection& db,
                                               const PrintLog& log, std::function<void()> wake);

}  // namespace kps
