#include "startup/FlagText.h"

#include "text/Text.h"

namespace kps {

bool FlagIsOn(std::string_view flags, std::size_t position) {
    return CharAt(flags, position) == "O";
}

std::vector<int> FlaggedPositions(std::string_view flags) {
    std::vector<int> positions;
    int position = 0;
    // Walk characters, not bytes: a flag text may hold any letter.
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if ((static_cast<unsigned char>(flags[i]) & 0xC0) == 0x80) {
            continue;  // the rest of a character already counted
        }
        ++position;
        if (flags[i] == 'O') {
            positions.push_back(position);
        }
    }
    return positions;
}

}  // namespace kps
