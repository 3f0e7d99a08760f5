#pragma once

#include <string>

namespace kps {

// `bytes`, an INI file as stored, with `key` of the first `section` set to
// `value` (bytes in the file's code page). Every other byte stays as it was:
// an existing key keeps its line and line end, a missing key is added at the
// end of its section, a missing section at the end of the file.
std::string WithIniValue(const std::string& bytes, const std::string& section,
                         const std::string& key, const std::string& value);

// Sets the value in the file in place, so its owner and mode stay. Throws
// KpsError kErrFile when the file cannot be read or written.
void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace kps
