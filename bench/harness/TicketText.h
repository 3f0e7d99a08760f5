#pragma once

#include <string>
#include <vector>

namespace kps::bench {

// The distinct words of `text` that begin with `prefix` followed by digits,
// e.g. the table codes "TBL0007" or the item names "ITEM000012".
std::vector<std::string> CodesIn(const std::string& text, const std::string& prefix);

// Zero-padded: Code("TBL", 7, 4) is "TBL0007".
std::string Code(const std::string& prefix, int number, int digits);

}  // namespace kps::bench
