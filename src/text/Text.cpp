#include "text/Text.h"

#include <unicode/ubidi.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ushape.h>

#include <cmath>

#include "text/SingleBytePage.h"
#include "text/Utf16.h"

namespace kps {
namespace detail {

// Length in bytes of the UTF-8 sequence that starts with `lead`; a stray
// continuation byte counts as one character so bad input never loops.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0xC0) {
        return 1;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return 4;
}

// A malformed sequence is U+FFFD: an overlong form must not turn into a
// control character (0xC0 0x9B is ESC) on its way to a printer.
char32_t DecodeAt(std::string_view s, std::size_t pos, std::size_t len) {
    constexpr char32_t kReplacement = 0xFFFD;
    auto lead = static_cast<unsigned char>(s[pos]);
    if (len == 1) {
        return lead;
    }
    if (lead >= 0xF8 || pos + len > s.size()) {
        return kReplacement;
    }
    char32_t cp = lead & (0xFF >> (len + 1));
    for (std::size_t i = 1; i < len; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return cp < kMinimum[len] || cp > 0x10FFFF || surrogate ? kReplacement : cp;
}

}  // namespace detail

namespace {

using detail::DecodeAt;
using detail::SequenceLength;

// Byte offset of character `index` (counting from 0), or s.size() past the end.
std::size_t OffsetOfChar(std::string_view s, std::size_t index) {
    std::size_t pos = 0;
    while (index > 0 && pos < s.size()) {
        pos += SequenceLength(static_cast<unsigned char>(s[pos]));
        --index;
    }
    return pos < s.size() ? pos : s.size();
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsSupportedCodePage(int codePage) {
    return codePage == 1252 || codePage == 28591 || codePage == 437 || codePage == 850;
}

std::string FromCodePage(std::string_view bytes, int codePage) {
    const SingleBytePage* page = SingleBytePage::Find(codePage);
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            AppendUtf8(out, page != nullptr ? page->Decode(b) : char32_t{b});
        }
    }
    return out;
}

std::string ToCodePage(std::string_view utf8, int codePage) {
    const SingleBytePage* page = SingleBytePage::Find(codePage);
    std::string out;
    out.reserve(utf8.size());
    ForEachChar(utf8, [&](char32_t cp, std::string_view) {
        char byte = '?';
        if (cp < 0x80) {
            byte = static_cast<char>(cp);
        } else if (page != nullptr) {
            page->Encode(cp, byte);
        } else if (cp < 0x100) {
            byte = static_cast<char>(cp);
        }
        out += byte;
    });
    return out;
}

std::string FromCharset(std::string_view bytes, const std::string& charset) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(charset.c_str(), &status);
    if (U_FAILURE(status)) {
        return std::string(bytes);
    }
    std::u16string units(bytes.size() * 2 + 2, u'\0');
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(units.data()),
                                         static_cast<int32_t>(units.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    units.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return Utf16ToUtf8(units);
}

bool HasRightToLeft(std::string_view utf8) {
    bool found = false;
    ForEachChar(utf8, [&](char32_t cp, std::string_view) {
        if (cp >= 0x590) {
            const auto direction = u_charDirection(static_cast<UChar32>(cp));
            found = found || direction == U_RIGHT_TO_LEFT || direction == U_RIGHT_TO_LEFT_ARABIC;
        }
    });
    return found;
}

std::string VisualOrder(std::string_view utf8) {
    if (!HasRightToLeft(utf8)) {
        return std::string(utf8);
    }
    const std::u16string logical = Utf8ToUtf16(utf8);
    UErrorCode status = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_open();
    ubidi_setPara(bidi, reinterpret_cast<const UChar*>(logical.data()),
                  static_cast<int32_t>(logical.size()), UBIDI_LTR, nullptr, &status);
    std::u16string visual(logical.size() + 1, u'\0');
    const int32_t length =
        ubidi_writeReordered(bidi, reinterpret_cast<UChar*>(visual.data()),
                             static_cast<int32_t>(visual.size()), UBIDI_DO_MIRRORING, &status);
    ubidi_close(bidi);
    if (U_FAILURE(status)) {
        return std::string(utf8);
    }
    visual.resize(static_cast<std::size_t>(length));
    return Utf16ToUtf8(visual);
}

std::string ShapeArabic(std::string_view utf8) {
    const std::u16string letters = Utf8ToUtf16(utf8);
    std::u16string forms(letters.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_shapeArabic(
        reinterpret_cast<const UChar*>(letters.data()), static_cast<int32_t>(letters.size()),
        reinterpret_cast<UChar*>(forms.data()), static_cast<int32_t>(forms.size()),
        U_SHAPE_LETTERS_SHAPE | U_SHAPE_LENGTH_FIXED_SPACES_NEAR | U_SHAPE_TEXT_DIRECTION_LOGICAL,
        &status);
    if (U_FAILURE(status)) {
        return std::string(utf8);
    }
    forms.resize(static_cast<std::size_t>(length));
    return Utf16ToUtf8(forms);
}

int ColumnsOf(char32_t cp) {
    if (cp < 0x300) {
        return 1;
    }
    const auto c = static_cast<UChar32>(cp);
    // Hangul medial vowels and final consonants join the syllable before them.
    if (cp >= 0x1160 && cp <= 0x11FF) {
        return 0;
    }
    switch (u_charType(c)) {
        case U_NON_SPACING_MARK:
        case U_ENCLOSING_MARK:
        case U_FORMAT_CHAR:
            return 0;
        default:
            break;
    }
    const auto eastAsian =
        static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
    return eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
}

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t columns = 0;
    ForEachChar(utf8, [&](char32_t cp, std::string_view) {
        columns += static_cast<std::size_t>(ColumnsOf(cp));
    });
    return columns;
}

std::size_t CharCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size();
         pos += SequenceLength(static_cast<unsigned char>(utf8[pos]))) {
        ++count;
    }
    return count;
}

std::string LeftChars(std::string_view utf8, std::size_t n) {
    return std::string(utf8.substr(0, OffsetOfChar(utf8, n)));
}

std::string Trim(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string UpperCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t len = SequenceLength(static_cast<unsigned char>(utf8[pos]));
        char32_t cp = DecodeAt(utf8, pos, len);
        pos += len;
        if ((cp >= U'a' && cp <= U'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) {
            cp -= 0x20;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string CharAt(std::string_view utf8, std::size_t pos) {
    if (pos < 1) {
        return {};
    }
    std::size_t start = OffsetOfChar(utf8, pos - 1);
    if (start >= utf8.size()) {
        return {};
    }
    return std::string(utf8.substr(start, SequenceLength(static_cast<unsigned char>(utf8[start]))));
}

std::string Spaces(long count) {
    return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') : std::string();
}

std::string SqlQuote(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

long LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value > 100000000000L) {
            break;  // far beyond any row ID; stop before it overflows
        }
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return negative ? -value : value;
}

long RoundHalfEven(double value) {
    return static_cast<long>(std::nearbyint(value));
}

}  // namespace kps
