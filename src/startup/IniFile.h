#pragma once

#include <optional>
#include <string>

namespace kps {

// An INI file read once, with the private-profile reader's rules: section and
// key names match without regard to case, blanks around the value are
// dropped, one pair of enclosing quotation marks is dropped, a missing file,
// section or key gives "", and a value longer than 254 characters comes back
// cut to 254. The bytes are converted from the code page when loaded.
class IniFile {
  public:
    // A file that cannot be read behaves like a file without keys.
    static IniFile Load(const std::string& file, int codePage = 1252);

    std::string Value(const std::string& section, const std::string& key) const;
    // The same, but nothing when the key is missing (an empty value is "").
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;

  private:
    std::string text_;
};

// One value of an INI file, read afresh from the file.
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int codePage = 1252);

}  // namespace kps
