#pragma once

#include <string>

#include "harness/BenchOutlet.h"
#include "harness/RunArguments.h"

namespace kps::bench {

// The back end a measuring run puts its outlets on, from the command line:
//   --database sqlite|postgres   (PostgreSQL: the one the front script started)
//   --no-trigger                 PostgreSQL without the change-signal trigger
struct DatabaseChoice {
    bool postgres = false;
    bool trigger = true;

    // True when the current argument was one of the above, taking it.
    bool Take(RunArguments& arguments);
    // Where an outlet for `server` goes: the schema of the server's tree.
    OutletDatabase For(const std::string& server) const;
    // "SQLite", "PostgreSQL" or "PostgreSQL without trigger".
    std::string Name() const;
};

constexpr const char* kDatabaseUsage =
    "  --database sqlite|postgres  back end of the outlets (postgres: started by the script)\n"
    "  --no-trigger                postgres: leave the change-signal trigger out even when\n"
    "                              the server's schema folder has one\n";

}  // namespace kps::bench
