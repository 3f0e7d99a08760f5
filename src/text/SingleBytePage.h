#pragma once

#include <array>
#include <string_view>
#include <unordered_map>

namespace kps {

// A single-byte code page as receipt printers use it: ASCII in the lower
// half, the page's characters in the upper half. The upper half is read from
// ICU's converter once; a byte the page leaves undefined stands for the
// control character of the same number, as Windows reads it.
class SingleBytePage {
  public:
    // The page of a Windows or IBM code page number (1252, 437, 866, 874,
    // 28591 ...), or nullptr when the server does not know it.
    static const SingleBytePage* Find(int codePage);

    SingleBytePage(int codePage, const char* converterName);

    int Number() const { return number_; }
    char32_t Decode(unsigned char byte) const;
    // Sets `byte` and returns true when the page holds the character.
    bool Encode(char32_t codePoint, char& byte) const;

  private:
    int number_;
    std::array<char32_t, 128> upper_{};
    std::unordered_map<char32_t, char> bytes_;
};

}  // namespace kps
