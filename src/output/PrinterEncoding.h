#pragma once

#include <string>

namespace kps {

// How a receipt printer is given text.
enum class EncodingMode {
    Page,        // one single-byte code page, chosen with ESC t
    DoubleByte,  // the page, and a resident double-byte font for what the page lacks
    Raster,      // every line drawn as an image (GS v 0)
    Auto,        // a line as text when every character fits, else as an image
};

struct PrinterEncoding {
    EncodingMode mode = EncodingMode::Page;
    int codePage = 1252;     // the single-byte page of the text
    int table = 16;          // ESC t's table number for it; -1 sends no ESC t
    std::string doubleByte;  // ICU's name of the double-byte set, or empty
    bool japanese = false;   // the set is Shift_JIS: FS C 1 selects it first

    bool operator==(const PrinterEncoding&) const = default;

    // A printer with only a code page, as the CodePage key gives it.
    static PrinterEncoding OfCodePage(int codePage);
};

// The double-byte set a reader of the printer's bytes takes FS & text in.
std::string DoubleByteSetOf(const PrinterEncoding& encoding);

// ESC t's table number of a code page on the common ESC/POS printers, or -1.
int TableOfCodePage(int codePage);

// The encoding a device's Encoding value names (any case), on a printer
// whose page otherwise is `codePage`; `tableNumber` (>= 0) replaces the
// page's usual table number. An empty value gives the code page alone;
// "auto" may name a double-byte set ("auto GB18030").
// Throws KpsError kErrSettings naming the device and the valid values.
PrinterEncoding ParsePrinterEncoding(const std::string& deviceName, const std::string& value,
                                     int codePage, int tableNumber);

// The valid Encoding values, separated by ", ".
std::string EncodingNames();

}  // namespace kps
