#include "startup/IniFile.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "text/Text.h"

namespace kps {
namespace {

// The profile reader's buffer holds 255 characters including its terminator.
constexpr std::size_t kMaxValueChars = 254;

std::string_view TrimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string_view DropEnclosingQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool SameName(std::string_view a, const std::string& upperB) {
    return UpperCase(a) == upperB;
}

}  // namespace

IniFile IniFile::Load(const std::string& file, int codePage) {
    IniFile ini;
    std::ifstream in(file, std::ios::binary);
    if (in) {
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        ini.text_ = FromCodePage(bytes, codePage);
    }
    return ini;
}

std::string IniFile::Value(const std::string& section, const std::string& key) const {
    return Find(section, key).value_or("");
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
    const std::string wantedSection = UpperCase(TrimBlanks(section));
    const std::string wantedKey = UpperCase(TrimBlanks(key));

    // Only the first section of the name counts, as with the platform reader.
    bool inSection = false;
    bool sectionSeen = false;
    std::string_view rest(text_);
    while (!rest.empty()) {
        auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (sectionSeen) {
                return std::nullopt;
            }
            auto close = line.find(']');
            std::string_view name = line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            inSection = SameName(TrimBlanks(name), wantedSection);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection) {
            continue;
        }
        auto eq = line.find('=');
        if (!SameName(TrimBlanks(line.substr(0, eq)), wantedKey)) {
            continue;
        }
        if (eq == std::string_view::npos) {
            return std::string();
        }
        return LeftChars(DropEnclosingQuotes(TrimBlanks(line.substr(eq + 1))), kMaxValueChars);
    }
    return std::nullopt;
}

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int codePage) {
    return IniFile::Load(file, codePage).Value(section, key);
}

}  // namespace kps
