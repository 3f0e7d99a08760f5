#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "output/PrinterEncoding.h"

namespace kps {

class SingleBytePage;

// Puts UTF-8 text into a printer's bytes, right-to-left runs in the order
// the printer lays them down (and Arabic joined, for a page of joined forms): a character of the
// page as its byte, one only the double-byte set has between FS & and FS . (the printer's
// double-byte mode, left again at the end of every piece so no command is
// read as a character), and "?" for a character that fits in neither.
class EscPosTextEncoder {
  public:
    explicit EscPosTextEncoder(const PrinterEncoding& encoding);
    ~EscPosTextEncoder();
    EscPosTextEncoder(const EscPosTextEncoder&) = delete;
    EscPosTextEncoder& operator=(const EscPosTextEncoder&) = delete;

    // True when every character has bytes in the page or the double-byte set.
    bool Fits(std::string_view utf8);

    // The bytes; each character that fits nowhere is handed to `unprintable`.
    std::string Encode(std::string_view utf8, const std::function<void(char32_t)>& unprintable);

  private:
    struct Converter;
    std::string Prepared(std::string_view utf8) const;
    bool InPage(char32_t codePoint, char& byte) const;
    bool DoubleByte(char32_t codePoint, std::string& bytes);

    const SingleBytePage* page_;
    std::unique_ptr<Converter> doubleByte_;
};

}  // namespace kps
