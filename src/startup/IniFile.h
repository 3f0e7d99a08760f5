#pragma once

#include <string>

namespace kps {

// Reads one value of an INI file with the private-profile reader's rules:
// section and key names match without regard to case, blanks around the value
// are dropped, one pair of enclosing quotation marks is dropped, a missing
// file, section or key gives "", and a value longer than 254 characters comes
// back cut to 254. The bytes are converted from `codePage`.
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int codePage = 1252);

}  // namespace kps
