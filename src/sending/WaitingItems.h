#pragma once

#include <set>
#include <string>
#include <vector>

#include "database/Connection.h"

namespace kps {

// Which of `keys` (printing-detail IDs, notice copy keys) still wait to
// print; the others were marked printed or are gone. Throws KpsError.
std::set<std::string> StillWaiting(Connection& db, const std::vector<std::string>& keys);

}  // namespace kps
