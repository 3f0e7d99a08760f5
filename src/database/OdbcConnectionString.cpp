#include "database/OdbcConnectionString.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "text/Text.h"

namespace kps {
namespace {

constexpr const char* kDefaultDriver = "FreeTDS";
constexpr const char* kMask = "****";

bool SameKey(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// OLE DB keywords and their ODBC names; an empty name drops the keyword.
struct KeywordMapping {
    const char* ado;
    const char* odbc;
};
constexpr std::array<KeywordMapping, 10> kKeywords{{
    {"Provider", ""},
    {"Persist Security Info", ""},
    {"Password", "PWD"},
    {"PWD", "PWD"},
    {"User ID", "UID"},
    {"UID", "UID"},
    {"Initial Catalog", "DATABASE"},
    {"Database", "DATABASE"},
    {"Data Source", "SERVER"},
    {"Server", "SERVER"},
}};

// Reads a value that starts at `i` up to the ";" ending it.
std::string ReadValue(const std::string& text, std::size_t& i) {
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i < text.size() && (text[i] == '{' || text[i] == '"' || text[i] == '\'')) {
        char close = text[i] == '{' ? '}' : text[i];
        std::string value;
        for (++i; i < text.size(); ++i) {
            if (text[i] == close) {
                if (i + 1 < text.size() && text[i + 1] == close) {
                    value += close;
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            value += text[i];
        }
        // Anything between the closing mark and the ";" is ignored.
        while (i < text.size() && text[i] != ';') {
            ++i;
        }
        return value;
    }
    std::size_t end = text.find(';', i);
    if (end == std::string::npos) {
        end = text.size();
    }
    std::string value = Trim(text.substr(i, end - i));
    i = end;
    return value;
}

// A leading quote would be read back as quoting, so it is braced too.
bool NeedsBraces(const std::string& value) {
    return value.find_first_of(";{}") != std::string::npos ||
           (!value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                               value.front() == '"' || value.front() == '\''));
}

std::string Braced(const std::string& value) {
    std::string text = "{";
    for (char c : value) {
        text += c;
        if (c == '}') {
            text += '}';
        }
    }
    return text + "}";
}

std::size_t FindNoCase(const std::string& text, const std::string& what, std::size_t from) {
    auto at = std::search(
        text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), what.begin(), what.end(),
        [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
    return at == text.end() ? std::string::npos : static_cast<std::size_t>(at - text.begin());
}

void Remove(ConnectionAttributes& attributes, const std::string& key) {
    std::erase_if(attributes, [&](const auto& pair) { return SameKey(pair.first, key); });
}

// The end of a braced value starting at `open`: past the "}" that is not
// doubled, or the end of the text.
std::size_t BracedEnd(const std::string& text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '}') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '}') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return text.size();
}

void MaskFrom(std::string& text, std::size_t start) {
    std::size_t end = start;
    if (end < text.size() && text[end] == '{') {
        end = BracedEnd(text, end);
    } else {
        end = text.find(';', start);
        end = end == std::string::npos ? text.size() : end;
    }
    text.replace(start, end - start, kMask);
}

}  // namespace

ConnectionAttributes ParseConnectionAttributes(const std::string& text) {
    ConnectionAttributes attributes;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t eq = text.find('=', i);
        std::size_t semicolon = text.find(';', i);
        if (eq == std::string::npos || (semicolon != std::string::npos && semicolon < eq)) {
            if (semicolon == std::string::npos) {
                break;
            }
            i = semicolon + 1;  // a part without "="
            continue;
        }
        std::string key = Trim(text.substr(i, eq - i));
        i = eq + 1;
        std::string value = ReadValue(text, i);
        if (!key.empty()) {
            attributes.emplace_back(std::move(key), std::move(value));
        }
        ++i;  // past the ";"
    }
    return attributes;
}

std::string QuoteConnectionValue(const std::string& value) {
    return NeedsBraces(value) ? Braced(value) : value;
}

std::string FormatConnectionAttributes(const ConnectionAttributes& attributes) {
    std::string text;
    for (const auto& [key, value] : attributes) {
        text += key + "=" + QuoteConnectionValue(value) + ";";
    }
    return text;
}

std::string FindConnectionAttribute(const ConnectionAttributes& attributes,
                                    const std::string& key) {
    for (const auto& [name, value] : attributes) {
        if (SameKey(name, key)) {
            return value;
        }
    }
    return "";
}

std::string OdbcConnectionStringFromAdo(const std::string& adoConnectionString,
                                        const std::string& odbcDriver,
                                        const std::string& odbcOptions) {
    std::string driver = Trim(odbcDriver).empty() ? kDefaultDriver : Trim(odbcDriver);
    ConnectionAttributes translated;
    for (const auto& [key, value] : ParseConnectionAttributes(adoConnectionString)) {
        auto known = std::find_if(kKeywords.begin(), kKeywords.end(),
                                  [&](const KeywordMapping& m) { return SameKey(key, m.ado); });
        if (known == kKeywords.end()) {
            translated.emplace_back(key, value);
        } else if (*known->odbc != '\0') {
            translated.emplace_back(known->odbc, value);
        }
    }
    if (SameKey(driver, kDefaultDriver)) {
        translated.emplace_back("TDS_Version", "7.4");
        // A server written as host,port or host\instance already says how to reach it.
        std::string server = FindConnectionAttribute(translated, "SERVER");
        if (server.find_first_of(",\\") == std::string::npos) {
            translated.emplace_back("Port", "1433");
        }
    }
    ConnectionAttributes options = ParseConnectionAttributes(odbcOptions);
    for (const auto& [key, value] : options) {
        Remove(translated, key);
    }
    // The driver is chosen by OdbcDriver alone.
    Remove(translated, "DRIVER");
    Remove(options, "DRIVER");
    translated.insert(translated.end(), options.begin(), options.end());
    // The driver name is always braced, as drivers expect.
    return "DRIVER=" + Braced(driver) + ";" + FormatConnectionAttributes(translated);
}

std::string ScrubPassword(const std::string& text, const std::string& password) {
    std::string result = text;
    for (const std::string key : {"PWD=", "Password="}) {
        for (std::size_t at = FindNoCase(result, key, 0); at != std::string::npos;
             at = FindNoCase(result, key, at + key.size())) {
            MaskFrom(result, at + key.size());
        }
    }
    if (!password.empty()) {
        const std::size_t maskSize = std::char_traits<char>::length(kMask);
        for (std::size_t at = result.find(password); at != std::string::npos;
             at = result.find(password, at + maskSize)) {
            result.replace(at, password.size(), kMask);
        }
    }
    return result;
}

}  // namespace kps
