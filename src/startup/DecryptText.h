#pragma once

#include <string>
#include <string_view>

namespace kps {

// The answer of DecryptText for a text it cannot decode.
inline constexpr std::string_view kInvalidDecryptText = "Error: Invalid text to Decrypt";

// Number of filler characters in front of the real password.
inline constexpr std::size_t kPasswordFillerChars = 11;

// Decodes the stored password form, byte by byte: characters 1 to 3 and the
// last one are the keys K1..K4; each body byte minus its key (K1, K2, K3, K4,
// K1, ...) is one plain byte. Fewer than 3 bytes, or a plain code below 0,
// give kInvalidDecryptText.
std::string DecryptText(std::string_view storedBytes);

// The password the database receives: DecryptText with the filler dropped
// (a decoded text of 11 bytes or fewer gives the empty password).
std::string PlainPassword(std::string_view storedBytes);

}  // namespace kps
