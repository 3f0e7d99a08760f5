#include "startup/IniValueWriter.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "text/KpsError.h"

namespace kps {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Names are plain ASCII, matched as the reader matches them.
bool SameName(std::string_view a, std::string_view b) {
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string WithIniValue(const std::string& bytes, const std::string& section,
                         const std::string& key, const std::string& value) {
    const std::string eol = bytes.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    bool inSection = false;
    std::size_t sectionEnd = std::string::npos;  // where a missing key goes
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t next = bytes.find('\n', pos);
        next = next == std::string::npos ? bytes.size() : next + 1;
        std::string_view line(bytes.data() + pos, next - pos);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        const std::string_view trimmed = TrimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (inSection) {
                break;
            }
            auto close = trimmed.find(']');
            inSection =
                SameName(trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                           : close - 1),
                         section);
        } else if (inSection && !trimmed.empty() && trimmed.front() != ';') {
            auto eq = line.find('=');
            if (eq != std::string_view::npos && SameName(line.substr(0, eq), key)) {
                return bytes.substr(0, pos + eq + 1) + value + bytes.substr(pos + line.size());
            }
        }
        if (inSection && !trimmed.empty()) {
            sectionEnd = next;
        }
        pos = next;
    }
    const std::string entry = key + "=" + value + eol;
    if (sectionEnd != std::string::npos) {
        const bool ended = sectionEnd == 0 || bytes[sectionEnd - 1] == '\n';
        return bytes.substr(0, sectionEnd) + (ended ? "" : eol) + entry + bytes.substr(sectionEnd);
    }
    const bool ended = bytes.empty() || bytes.back() == '\n';
    return bytes + (ended ? "" : eol) + "[" + section + "]" + eol + entry;
}

void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw KpsError(kErrFile, "Cannot read " + file);
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << WithIniValue(bytes, section, key, value);
    if (!out.flush()) {
        throw KpsError(kErrFile, "Cannot write " + file);
    }
}

}  // namespace kps
