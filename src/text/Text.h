#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 inside the program. Files, the print log and printer output
// use a single-byte code page and are converted only at those edges.
// Character counts count characters, never bytes.
namespace kps {

// Code pages of the settings, layout and log files: 1252 (Western, the
// default), 28591 (ISO 8859-1), 437 and 850 (the DOS pages many receipt
// printers use). Printers take more pages through their Encoding.
bool IsSupportedCodePage(int codePage);

// Converts single-byte text of a code page (any SingleBytePage knows) to
// UTF-8.
std::string FromCodePage(std::string_view bytes, int codePage);

// Converts UTF-8 to the code page; a character it lacks becomes "?".
std::string ToCodePage(std::string_view utf8, int codePage);

// Converts text of a multi-byte character set (ICU's name: "GB18030",
// "Big5", "Shift_JIS", "EUC-KR") to UTF-8; a bad sequence becomes U+FFFD.
std::string FromCharset(std::string_view bytes, const std::string& charset);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

std::size_t CharCount(std::string_view utf8);

// Columns one character takes on a receipt printer or a fixed-pitch screen:
// 2 for East Asian wide and fullwidth characters, 0 for combining marks and
// other zero-width characters, 1 for the rest.
int ColumnsOf(char32_t codePoint);

// Columns the text takes: the sum of ColumnsOf over its characters.
std::size_t DisplayWidth(std::string_view utf8);

// True when the text holds a right-to-left letter (Hebrew, Arabic, ...).
bool HasRightToLeft(std::string_view utf8);

// The line in the order a printer lays it down, left to right: right-to-left
// runs reversed (their brackets mirrored), numbers and Latin runs kept, the
// line as a whole read left to right so columns stay where they are.
std::string VisualOrder(std::string_view utf8);

// Arabic letters in their joined presentation forms, for code pages that
// hold the forms rather than the letters.
std::string ShapeArabic(std::string_view utf8);

// Calls `visit(codePoint, bytes)` for every character in turn; a stray
// continuation byte counts as one character.
template <typename Visit>
void ForEachChar(std::string_view utf8, Visit&& visit);

// The first n characters.
std::string LeftChars(std::string_view utf8, std::size_t n);

// Blanks (spaces only) removed from both ends, as the suite's Trim does.
std::string Trim(std::string_view text);

// Letters in capitals (ASCII and Latin-1 letters).
std::string UpperCase(std::string_view utf8);

// The character at position `pos` (counting from 1), or "" past the end.
std::string CharAt(std::string_view utf8, std::size_t pos);

std::string Spaces(long count);

// Doubles every single quote so a value can stand between quotes in a statement.
std::string SqlQuote(std::string_view value);

// `text` with every control character (below 0x20, and 0x7F) written as
// \xHH, so text from a file, the database or a command line cannot break a
// log line in two or forge one.
std::string EscapeControls(std::string_view text);

// The number a text begins with, in plain decimal ("12abc" is 12, "x" is 0).
long LeadingNumber(std::string_view text);

// Rounds half to even, as the suite's integer division of padding does.
long RoundHalfEven(double value);

namespace detail {
std::size_t SequenceLength(unsigned char lead);
char32_t DecodeAt(std::string_view s, std::size_t pos, std::size_t len);
}  // namespace detail

template <typename Visit>
void ForEachChar(std::string_view utf8, Visit&& visit) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t len = detail::SequenceLength(static_cast<unsigned char>(utf8[pos]));
        visit(detail::DecodeAt(utf8, pos, len), utf8.substr(pos, std::min(len, utf8.size() - pos)));
        pos += len;
    }
}

}  // namespace kps
