#pragma once

#include <string>
#include <vector>

#include "database/Value.h"

namespace kps {

// The complete result of one statement, as the database gave it.
struct ResultTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;
};

}  // namespace kps
