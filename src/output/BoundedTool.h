#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kps {

// How long a command-line tool may take before it is ended.
struct ToolLimits {
    std::chrono::milliseconds run{20000};   // then SIGTERM
    std::chrono::milliseconds grace{2000};  // then SIGKILL
};

// Runs a program found on PATH (no shell) in a process group of its own,
// with every signal unblocked and at its default action whatever the
// calling thread blocks or the process ignores, and `input` on its standard
// input. Its standard output is returned in `output`. A tool still running
// after limits.run is ended with its group and reaped. True when it exited
// with status 0 in time. `environment` entries (NAME=value) are added to the
// server's own for the tool.
bool RunBoundedTool(const std::vector<std::string>& argv, const std::string& input,
                    std::string* output, const ToolLimits& limits,
                    const std::vector<std::string>& environment = {});

}  // namespace kps
