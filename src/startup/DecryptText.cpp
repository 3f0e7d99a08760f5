#include "startup/DecryptText.h"

namespace kps {

std::string DecryptText(std::string_view storedBytes) {
    if (storedBytes.size() < 3) {
        return std::string(kInvalidDecryptText);
    }
    const unsigned char keys[4] = {
        static_cast<unsigned char>(storedBytes[0]), static_cast<unsigned char>(storedBytes[1]),
        static_cast<unsigned char>(storedBytes[2]), static_cast<unsigned char>(storedBytes.back())};
    std::string_view body =
        storedBytes.size() > 4 ? storedBytes.substr(3, storedBytes.size() - 4) : std::string_view();
    std::string plain;
    plain.reserve(body.size());
    for (std::size_t j = 0; j < body.size(); ++j) {
        int code = static_cast<unsigned char>(body[j]) - keys[j % 4];
        if (code < 0) {
            return std::string(kInvalidDecryptText);
        }
        plain += static_cast<char>(code);
    }
    return plain;
}

std::string PlainPassword(std::string_view storedBytes) {
    std::string plain = DecryptText(storedBytes);
    return plain.size() > kPasswordFillerChars ? plain.substr(kPasswordFillerChars) : std::string();
}

}  // namespace kps
