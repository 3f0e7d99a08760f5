#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kps {

// Option and device flags are texts of one character per option: a capital
// "O" at position n (counting from 1) means option or device n is on; any
// other character, and every position past the end, means off.
bool FlagIsOn(std::string_view flags, std::size_t position);

// The positions that are on, in ascending order.
std::vector<int> FlaggedPositions(std::string_view flags);

}  // namespace kps
