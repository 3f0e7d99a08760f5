#pragma once

#include <cstddef>
#include <string_view>

namespace kps {

enum class EscPosKind {
    Text,            // printable bytes up to the next control byte
    LineFeed,        // LF
    CarriageReturn,  // CR
    Init,            // ESC @
    PrintMode,       // ESC ! n
    CharacterSize,   // GS ! n
    Align,           // ESC a n
    Colour,          // ESC r n
    CodePage,        // ESC t n
    Cut,             // GS V m [n]
    StatusQuery,     // DLE EOT n
    ProcessIdQuery,  // GS ( H 06 00 30 30 d1 d2 d3 d4
    TransmitStatus,  // GS r n, answered in sequence
    DoubleByteOn,    // FS &: two bytes a character until FS .
    DoubleByteOff,   // FS .
    DoubleByteSet,   // FS C n: the Japanese code system, 1 Shift_JIS
    RasterImage,     // GS v 0 m xL xH yL yH and the dots
    Other,           // a command the reader knows by length only
    Control,         // a lone control byte
    Incomplete,      // the data ends inside a command
};

// One command read from the start of a byte stream.
struct EscPosCommand {
    EscPosKind kind = EscPosKind::Incomplete;
    std::string_view bytes;  // every byte of the command
    unsigned parameter = 0;  // n of the commands that take one
};

// Reads the command that `data` begins with; `data` must not be empty.
// An Incomplete command spans the rest of `data`.
EscPosCommand ReadEscPosCommand(std::string_view data);

// The code page of ESC t's character table n, or `current` for tables not read.
int CodePageOfTable(unsigned table, int current);

}  // namespace kps
