#include "text/SingleBytePage.h"

#include <unicode/ucnv.h>

#include <map>

namespace kps {
namespace {

struct PageName {
    int number;
    const char* converter;
};

// ISO 8859-1 is byte for byte the first 256 code points and needs no table.
constexpr PageName kPages[] = {
    {437, "ibm-437"},       {850, "ibm-850"},       {852, "ibm-852"},       {857, "ibm-857"},
    {858, "ibm-858"},       {860, "ibm-860"},       {862, "ibm-862"},       {863, "ibm-863"},
    {864, "ibm-864"},       {865, "ibm-865"},       {866, "ibm-866"},       {874, "TIS-620"},
    {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, "windows-1252"}, {1253, "windows-1253"},
    {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"}, {1257, "windows-1257"},
    {1258, "windows-1258"}, {28596, "ISO-8859-6"},  {28591, nullptr},
};

// The character of one byte, or 0 when the converter leaves it undefined.
char32_t ConvertByte(UConverter* converter, unsigned char byte) {
    const char in = static_cast<char>(byte);
    UChar out[4] = {};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t length = ucnv_toUChars(converter, out, 4, &in, 1, &status);
    if (U_FAILURE(status) || length != 1 || out[0] == 0xFFFD || out[0] == 0x1A) {
        return 0;
    }
    return out[0];
}

}  // namespace

SingleBytePage::SingleBytePage(int codePage, const char* converterName) : number_(codePage) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = converterName ? ucnv_open(converterName, &status) : nullptr;
    if (converter != nullptr) {
        // An undefined byte must come back as an error, not as a substitute.
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        char32_t character = byte;
        if (converter != nullptr && U_SUCCESS(status)) {
            const char32_t read = ConvertByte(converter, static_cast<unsigned char>(byte));
            character = read != 0 ? read : byte;
        }
        upper_[byte - 0x80] = character;
        bytes_.emplace(character, static_cast<char>(byte));
    }
    if (converter != nullptr) {
        ucnv_close(converter);
    }
}

const SingleBytePage* SingleBytePage::Find(int codePage) {
    // Built once, on first use, and never changed.
    static const std::map<int, SingleBytePage> pages = [] {
        std::map<int, SingleBytePage> built;
        for (const PageName& page : kPages) {
            built.try_emplace(page.number, page.number, page.converter);
        }
        return built;
    }();
    const auto found = pages.find(codePage);
    return found == pages.end() ? nullptr : &found->second;
}

char32_t SingleBytePage::Decode(unsigned char byte) const {
    return byte < 0x80 ? char32_t{byte} : upper_[byte - 0x80];
}

bool SingleBytePage::Encode(char32_t codePoint, char& byte) const {
    if (codePoint < 0x80) {
        byte = static_cast<char>(codePoint);
        return true;
    }
    const auto found = bytes_.find(codePoint);
    if (found == bytes_.end()) {
        return false;
    }
    byte = found->second;
    return true;
}

}  // namespace kps
