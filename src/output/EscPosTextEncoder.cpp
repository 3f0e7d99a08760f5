#include "output/EscPosTextEncoder.h"

#include <unicode/ucnv.h>

#include "text/KpsError.h"
#include "text/SingleBytePage.h"
#include "text/Text.h"

namespace kps {
namespace {

const std::string kEnterDoubleByte = "\x1C&";  // FS &
const std::string kLeaveDoubleByte = "\x1C.";  // FS .
// A page that holds this form holds Arabic as joined forms (PC864).
constexpr char32_t kAlefFinalForm = 0xFE8E;

}  // namespace

struct EscPosTextEncoder::Converter {
    UConverter* handle = nullptr;
    ~Converter() { ucnv_close(handle); }
};

EscPosTextEncoder::EscPosTextEncoder(const PrinterEncoding& encoding)
    : page_(SingleBytePage::Find(encoding.codePage)) {
    if (encoding.doubleByte.empty()) {
        return;
    }
    doubleByte_ = std::make_unique<Converter>();
    UErrorCode status = U_ZERO_ERROR;
    doubleByte_->handle = ucnv_open(encoding.doubleByte.c_str(), &status);
    // A character the set lacks must fail, not come back as its substitute.
    ucnv_setFromUCallBack(doubleByte_->handle, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        throw KpsError(kErrPrinter, "No converter for " + encoding.doubleByte);
    }
}

EscPosTextEncoder::~EscPosTextEncoder() = default;

bool EscPosTextEncoder::InPage(char32_t codePoint, char& byte) const {
    if (codePoint < 0x80) {
        byte = static_cast<char>(codePoint);
        return true;
    }
    return page_ != nullptr && page_->Encode(codePoint, byte);
}

bool EscPosTextEncoder::DoubleByte(char32_t codePoint, std::string& bytes) {
    if (!doubleByte_) {
        return false;
    }
    UChar units[2];
    int32_t length = 0;
    if (codePoint > 0xFFFF) {
        units[0] = static_cast<UChar>(0xD7C0 + (codePoint >> 10));
        units[1] = static_cast<UChar>(0xDC00 | (codePoint & 0x3FF));
        length = 2;
    } else {
        units[0] = static_cast<UChar>(codePoint);
        length = 1;
    }
    char out[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(doubleByte_->handle);
    const int32_t written =
        ucnv_fromUChars(doubleByte_->handle, out, sizeof out, units, length, &status);
    // The resident fonts hold two-byte characters; a single byte is ASCII
    // or a half-width form, four bytes (GB18030) a plane they lack.
    if (U_FAILURE(status) || written != 2) {
        return false;
    }
    bytes.assign(out, static_cast<std::size_t>(written));
    return true;
}

std::string EscPosTextEncoder::Prepared(std::string_view utf8) const {
    if (!HasRightToLeft(utf8)) {
        return std::string(utf8);
    }
    char byte = 0;
    const bool joinedForms = InPage(kAlefFinalForm, byte);
    return VisualOrder(joinedForms ? ShapeArabic(utf8) : utf8);
}

bool EscPosTextEncoder::Fits(std::string_view text) {
    const std::string utf8 = Prepared(text);
    bool fits = true;
    std::string bytes;
    ForEachChar(utf8, [&](char32_t codePoint, std::string_view) {
        char byte = 0;
        fits = fits && (InPage(codePoint, byte) || DoubleByte(codePoint, bytes));
    });
    return fits;
}

std::string EscPosTextEncoder::Encode(std::string_view text,
                                      const std::function<void(char32_t)>& unprintable) {
    const std::string utf8 = Prepared(text);
    std::string out;
    out.reserve(utf8.size());
    bool doubleByteMode = false;
    std::string bytes;
    ForEachChar(utf8, [&](char32_t codePoint, std::string_view) {
        char byte = 0;
        if (InPage(codePoint, byte)) {
            if (doubleByteMode) {
                out += kLeaveDoubleByte;
                doubleByteMode = false;
            }
            out += byte;
        } else if (DoubleByte(codePoint, bytes)) {
            if (!doubleByteMode) {
                out += kEnterDoubleByte;
                doubleByteMode = true;
            }
            out += bytes;
        } else {
            if (doubleByteMode) {
                out += kLeaveDoubleByte;
                doubleByteMode = false;
            }
            out += '?';
            if (unprintable) {
                unprintable(codePoint);
            }
        }
    });
    if (doubleByteMode) {
        out += kLeaveDoubleByte;
    }
    return out;
}

}  // namespace kps
