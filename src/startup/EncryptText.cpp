#include "startup/EncryptText.h"

#include <algorithm>
#include <array>
#include <vector>

#include "startup/DecryptText.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

// The settings reader gives back at most 254 characters: 4 keys, the filler
// and the password must fit.
constexpr std::size_t kMaxPasswordBytes = 254 - 4 - kPasswordFillerChars;

// A byte the settings file keeps as it is: no control character.
bool IsPrintable(int byte) {
    return byte >= 0x20 && byte != 0x7F && byte <= 0xFF;
}

// K1 and K4 stand at the ends of the value, where the reader drops blanks
// and quotation marks.
bool CanStandAtEnd(int byte) {
    return byte != ' ' && byte != '"' && byte != '\'';
}

std::vector<int> ShuffledRange(int first, int last, std::mt19937& rng) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v) {
        values.push_back(v);
    }
    std::shuffle(values.begin(), values.end(), rng);
    return values;
}

}  // namespace

std::string EncryptText(std::string_view password, std::mt19937& rng, int codePage) {
    const std::string bytes = ToCodePage(password, codePage);
    if (FromCodePage(bytes, codePage) != password) {
        throw KpsError(kErrSettings, "The password holds a character that code page " +
                                         std::to_string(codePage) + " cannot store.");
    }
    if (bytes.size() > kMaxPasswordBytes) {
        throw KpsError(kErrSettings, "The password is longer than " +
                                         std::to_string(kMaxPasswordBytes) + " bytes.");
    }

    // Each key serves every fourth plain byte; the filler is chosen after the
    // keys, so a key only has to suit the password bytes it serves.
    std::array<int, 4> keys{};
    for (std::size_t slot = 0; slot < keys.size(); ++slot) {
        bool found = false;
        for (int key : ShuffledRange(0x20, 0x7E, rng)) {
            if ((slot == 0 || slot == 3) && !CanStandAtEnd(key)) {
                continue;
            }
            bool suits = true;
            for (std::size_t i = 0; i < bytes.size() && suits; ++i) {
                if ((kPasswordFillerChars + i) % 4 == slot) {
                    suits = IsPrintable(static_cast<unsigned char>(bytes[i]) + key);
                }
            }
            if (suits) {
                keys[slot] = key;
                found = true;
                break;
            }
        }
        if (!found) {
            throw KpsError(kErrSettings, "The password holds a character too high in code page " +
                                             std::to_string(codePage) + " to be stored.");
        }
    }

    std::string stored;
    stored += static_cast<char>(keys[0]);
    stored += static_cast<char>(keys[1]);
    stored += static_cast<char>(keys[2]);
    for (std::size_t j = 0; j < kPasswordFillerChars; ++j) {
        int key = keys[j % 4];
        for (int filler : ShuffledRange(0x21, 0x7E, rng)) {
            if (IsPrintable(filler + key)) {
                stored += static_cast<char>(filler + key);
                break;
            }
        }
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        int key = keys[(kPasswordFillerChars + i) % 4];
        stored += static_cast<char>(static_cast<unsigned char>(bytes[i]) + key);
    }
    stored += static_cast<char>(keys[3]);
    return stored;
}

}  // namespace kps
