#include "status/WebText.h"

#include <algorithm>
#include <cstdio>

namespace kps {

namespace {

std::string Hex(const char* format, unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, format, byte);
    return text;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '<':
            case '>':
            case '&':
                out += Hex("\\u%04x", byte);
                break;
            default:
                out += byte < 0x20 || byte == 0x7F ? Hex("\\u%04x", byte) : std::string(1, c);
        }
    }
    return out + "\"";
}

std::string EscapeLabelValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string DecimalText(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string EncodePathSegment(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        out += plain ? std::string(1, c) : Hex("%%%02X", byte);
    }
    return out;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

FormField DecodeFormValue(std::string_view text) {
    FormField field{true, true, {}};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            field.value += ' ';
        } else if (text[i] != '%') {
            field.value += text[i];
        } else if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            field.value += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            field.valid = false;
        }
    }
    return field;
}

}  // namespace

FormField FindFormField(std::string_view form, std::string_view name) {
    while (!form.empty()) {
        const std::size_t end = std::min(form.find('&'), form.size());
        const std::string_view pair = form.substr(0, end);
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) == name) {
            return DecodeFormValue(equals == std::string_view::npos ? std::string_view()
                                                                    : pair.substr(equals + 1));
        }
        form.remove_prefix(std::min(end + 1, form.size()));
    }
    return {};
}

std::string FindCookie(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const std::size_t end = std::min(header.find(';'), header.size());
        std::string_view pair = header.substr(0, end);
        while (!pair.empty() && pair.front() == ' ') {
            pair.remove_prefix(1);
        }
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return std::string(pair.substr(equals + 1));
        }
        header.remove_prefix(std::min(end + 1, header.size()));
    }
    return {};
}

}  // namespace kps
