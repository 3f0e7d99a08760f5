#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 inside the program. Files, the print log and printer output
// use a single-byte code page and are converted only at those edges.
// Character counts count characters, never bytes.
namespace kps {

// Code pages the server can read and write: 1252 (Western, the default),
// 28591 (ISO 8859-1), 437 and 850 (the DOS pages many receipt printers use).
bool IsSupportedCodePage(int codePage);

// Converts single-byte text of the code page to UTF-8.
std::string FromCodePage(std::string_view bytes, int codePage);

// Converts UTF-8 to the code page; a character it lacks becomes "?".
std::string ToCodePage(std::string_view utf8, int codePage);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

std::size_t CharCount(std::string_view utf8);

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

}  // namespace kps
