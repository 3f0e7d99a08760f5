#include "output/PrinterEncoding.h"

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

struct NamedEncoding {
    const char* name;
    EncodingMode mode;
    int codePage;            // Page: its page; DoubleByte: 0 keeps the device's page
    const char* doubleByte;  // ICU's name
};

// Table numbers of the Epson ESC/POS character code tables, which most
// receipt printers follow; CodePageNumber= mends a printer that differs.
struct PageTable {
    int codePage;
    int table;
};

constexpr PageTable kTables[] = {
    {437, 0},   {850, 2},   {860, 3},   {863, 4},   {865, 5},   {1252, 16}, {28591, 16}, {866, 17},
    {852, 18},  {858, 19},  {857, 13},  {874, 21},  {862, 36},  {864, 37},  {1250, 45},  {1251, 46},
    {1253, 47}, {1254, 48}, {1255, 49}, {1256, 50}, {1257, 51}, {1258, 52}, {28596, 37},
};

constexpr NamedEncoding kEncodings[] = {
    {"PC437", EncodingMode::Page, 437, nullptr},
    {"PC850", EncodingMode::Page, 850, nullptr},
    {"PC852", EncodingMode::Page, 852, nullptr},
    {"PC857", EncodingMode::Page, 857, nullptr},
    {"PC858", EncodingMode::Page, 858, nullptr},
    {"PC860", EncodingMode::Page, 860, nullptr},
    {"PC862", EncodingMode::Page, 862, nullptr},
    {"PC863", EncodingMode::Page, 863, nullptr},
    {"PC864", EncodingMode::Page, 864, nullptr},
    {"PC865", EncodingMode::Page, 865, nullptr},
    {"PC866", EncodingMode::Page, 866, nullptr},
    {"WPC1250", EncodingMode::Page, 1250, nullptr},
    {"WPC1251", EncodingMode::Page, 1251, nullptr},
    {"WPC1252", EncodingMode::Page, 1252, nullptr},
    {"WPC1253", EncodingMode::Page, 1253, nullptr},
    {"WPC1254", EncodingMode::Page, 1254, nullptr},
    {"WPC1255", EncodingMode::Page, 1255, nullptr},
    {"WPC1256", EncodingMode::Page, 1256, nullptr},
    {"WPC1257", EncodingMode::Page, 1257, nullptr},
    {"WPC1258", EncodingMode::Page, 1258, nullptr},
    {"ISO-8859-6", EncodingMode::Page, 28596, nullptr},
    {"TIS-620", EncodingMode::Page, 874, nullptr},
    {"GB18030", EncodingMode::DoubleByte, 0, "GB18030"},
    {"BIG5", EncodingMode::DoubleByte, 0, "Big5"},
    {"SHIFT_JIS", EncodingMode::DoubleByte, 0, "Shift_JIS"},
    {"EUC-KR", EncodingMode::DoubleByte, 0, "EUC-KR"},
    {"RASTER", EncodingMode::Raster, 0, nullptr},
    {"AUTO", EncodingMode::Auto, 0, nullptr},
};

std::string UnknownEncoding(const std::string& deviceName, const std::string& value) {
    std::string message = "Printer ";
    message += deviceName;
    message += ": unknown Encoding=";
    message += value;
    message += "; valid values: ";
    message += EncodingNames();
    return message;
}

}  // namespace

int TableOfCodePage(int codePage) {
    for (const PageTable& entry : kTables) {
        if (entry.codePage == codePage) {
            return entry.table;
        }
    }
    return -1;
}

std::string DoubleByteSetOf(const PrinterEncoding& encoding) {
    return encoding.doubleByte.empty() ? std::string("GB18030") : encoding.doubleByte;
}

PrinterEncoding PrinterEncoding::OfCodePage(int codePage) {
    PrinterEncoding encoding;
    encoding.codePage = codePage;
    encoding.table = TableOfCodePage(codePage);
    return encoding;
}

std::string EncodingNames() {
    std::string names;
    for (const NamedEncoding& entry : kEncodings) {
        if (!names.empty()) {
            names += ", ";
        }
        names += entry.name;
    }
    return names + " (AUTO may name a double-byte set: AUTO GB18030)";
}

PrinterEncoding ParsePrinterEncoding(const std::string& deviceName, const std::string& value,
                                     int codePage, int tableNumber) {
    const std::string wanted = UpperCase(Trim(value));
    // "KS X 1001" is the character set EUC-KR encodes.
    const std::string name = wanted == "KS X 1001" || wanted == "KSX1001" ? "EUC-KR" : wanted;
    PrinterEncoding encoding = PrinterEncoding::OfCodePage(codePage);
    // "auto GB18030": text in the page or the double-byte font, drawn when neither has it.
    if (name.starts_with("AUTO ")) {
        encoding = ParsePrinterEncoding(deviceName, name.substr(5), codePage, tableNumber);
        if (encoding.mode != EncodingMode::DoubleByte) {
            throw KpsError(kErrSettings, UnknownEncoding(deviceName, value));
        }
        encoding.mode = EncodingMode::Auto;
        return encoding;
    }
    if (!name.empty()) {
        const NamedEncoding* found = nullptr;
        for (const NamedEncoding& entry : kEncodings) {
            if (name == entry.name) {
                found = &entry;
            }
        }
        if (found == nullptr) {
            throw KpsError(kErrSettings, UnknownEncoding(deviceName, value));
        }
        encoding.mode = found->mode;
        if (found->codePage != 0) {
            encoding = PrinterEncoding::OfCodePage(found->codePage);
        }
        if (found->doubleByte != nullptr) {
            encoding.doubleByte = found->doubleByte;
            encoding.japanese = name == "SHIFT_JIS";
        }
    }
    if (tableNumber >= 0) {
        encoding.table = tableNumber;
    }
    return encoding;
}

}  // namespace kps
