#include "harness/ProcFs.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace kps::bench {
namespace {

// The fields of /proc/PID/stat after the command name, which may hold
// spaces: field 1 here is the state, 2 the parent, 12 and 13 utime and stime.
std::vector<std::string> StatFields(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)),
                           std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    std::vector<std::string> fields{""};
    if (close == std::string::npos) {
        return {};
    }
    std::istringstream rest(text.substr(close + 2));
    for (std::string field; rest >> field;) {
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

double CpuSecondsOf(pid_t pid) {
    const std::vector<std::string> fields = StatFields(pid);
    if (fields.size() < 14) {
        return 0;
    }
    return (std::stod(fields[12]) + std::stod(fields[13])) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::map<pid_t, double> ScheduledCpu(const std::vector<pid_t>& pids) {
    std::map<pid_t, double> cpu;
    for (const pid_t pid : pids) {
        std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds) {
            cpu[pid] = nanoseconds / 1e9;
        }
    }
    return cpu;
}

long PeakResidentKbOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

pid_t ParentOf(pid_t pid) {
    const std::vector<std::string> fields = StatFields(pid);
    return fields.size() < 3 ? -1 : static_cast<pid_t>(std::stol(fields[2]));
}

std::vector<pid_t> ChildrenOf(pid_t pid) {
    const std::string id = std::to_string(pid);
    std::ifstream children("/proc/" + id + "/task/" + id + "/children");
    std::vector<pid_t> found;
    for (pid_t child = 0; children >> child;) {
        found.push_back(child);
    }
    return found;
}

std::map<pid_t, double> ChildrenCpu(pid_t parent) {
    std::map<pid_t, double> cpu;
    for (const pid_t child : ChildrenOf(parent)) {
        cpu[child] = CpuSecondsOf(child);
    }
    return cpu;
}

double CpuBetween(const std::map<pid_t, double>& before, const std::map<pid_t, double>& after) {
    double used = 0;
    for (const auto& [pid, seconds] : after) {
        const auto earlier = before.find(pid);
        used += seconds - (earlier == before.end() ? 0 : earlier->second);
    }
    return used;
}

}  // namespace kps::bench
