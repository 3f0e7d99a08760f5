#include "database/OdbcText.h"

#include "text/Utf16.h"

namespace kps {

OdbcWideString OdbcWide(const std::string& utf8) {
    std::u16string text = Utf8ToUtf16(utf8);
    return OdbcWideString(text.begin(), text.end());
}

std::string OdbcNarrow(const SQLWCHAR* text, std::size_t length) {
    return Utf16ToUtf8(std::u16string(text, text + length));
}

}  // namespace kps
