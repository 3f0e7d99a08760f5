#pragma once

#include <random>
#include <string>
#include <string_view>

namespace kps {

// Scrambles a password (UTF-8) into the stored form that DecryptText reads,
// in the bytes of `codePage`: random keys and 11 random filler characters.
// No stored byte is a control character (0..31, 127) and neither end is a
// blank or a quotation mark, so the form survives the settings file.
// Throws KpsError kErrSettings for a password the form cannot hold: a
// character outside the code page, a byte too high for any printable key, or
// more than 239 bytes.
std::string EncryptText(std::string_view password, std::mt19937& rng, int codePage = 1252);

}  // namespace kps
