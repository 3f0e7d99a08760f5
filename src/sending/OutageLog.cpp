#include "sending/OutageLog.h"

namespace kps {

bool OutageLog::Once(const std::string& device, const std::string& line) {
    if (!outages_[device].insert(line).second) {
        return false;
    }
    log_.WriteLog(line);
    return true;
}

}  // namespace kps
