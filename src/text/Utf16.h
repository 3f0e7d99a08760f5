#pragma once

#include <string>
#include <string_view>

namespace kps {

// UTF-8 to UTF-16, for interfaces that take wide text; a malformed byte
// becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace kps
