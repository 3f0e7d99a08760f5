#pragma once

#include <sys/types.h>

#include <map>
#include <vector>

namespace kps::bench {

// What /proc tells of a process; 0, -1 or empty once it is gone.
double CpuSecondsOf(pid_t pid);  // user + system
long PeakResidentKbOf(pid_t pid);
pid_t ParentOf(pid_t pid);
std::vector<pid_t> ChildrenOf(pid_t pid);

// The CPU seconds each process has run so far, exactly: the scheduler's
// count in /proc/PID/schedstat (nanoseconds), not the clock ticks of
// /proc/PID/stat. Processes already gone are left out.
std::map<pid_t, double> ScheduledCpu(const std::vector<pid_t>& pids);

// The CPU seconds of every child of `parent`, by process.
std::map<pid_t, double> ChildrenCpu(pid_t parent);
// CPU used between two readings: a process gone meanwhile counts nothing, a
// new one all it used.
double CpuBetween(const std::map<pid_t, double>& before, const std::map<pid_t, double>& after);

}  // namespace kps::bench
